// Builds the status-bar texts from the templates in res/UiText.h.
#include "view/core/StatusText.h"

#include "res/UiText.h"
#include "search/DisplayText.h"
#include "search/SizeFormat.h"

std::string FillText(std::string_view tmpl,
                     std::initializer_list<std::pair<char, std::string_view>> fields) {
    std::string out;
    out.reserve(tmpl.size() + 32);
    for (std::size_t i = 0; i < tmpl.size(); ++i) {
        if (tmpl[i] == '%' && i + 1 < tmpl.size()) {
            const char key = tmpl[i + 1];
            bool replaced = false;
            for (const auto& [name, value] : fields) {
                if (name == key) {
                    out += value;
                    replaced = true;
                    break;
                }
            }
            if (replaced) {
                ++i;
                continue;
            }
        }
        out += tmpl[i];
    }
    return out;
}

std::string MegaKiloText(std::uint64_t bytes) {
    return FillText(UiText::kMegaKiloAmount, {{'m', FormatThousands(RoundMB(bytes))},
                                              {'k', FormatThousands(RoundKB(bytes))}});
}

std::string SearchingText(std::string_view folder) {
    return DisplayPath(folder) + std::string(UiText::kSearchingSuffix);
}

StatusTexts SearchSummaryTexts(std::size_t rowCount, std::uint64_t totalBytes,
                               std::uint64_t unreadableFolders) {
    StatusTexts texts;
    if (rowCount == 0) {
        texts.strLeft = UiText::kNothingFound;
    } else {
        texts.bTwoPanes = true;
        texts.strLeft = FillText(UiText::kFoundFiles, {{'d', std::to_string(rowCount)}});
        texts.strRight = FillText(UiText::kFoundTotal, {{'s', MegaKiloText(totalBytes)}});
    }
    if (unreadableFolders > 0) {
        (texts.bTwoPanes ? texts.strRight : texts.strLeft) +=
            FillText(UiText::kUnreadableFolders, {{'d', FormatThousands(unreadableFolders)}});
    }
    return texts;
}
