// The window's words for a deletion, from the templates in res/UiText.h.
#include "view/core/DeleteText.h"

#include "res/UiText.h"

namespace {

std::string Count(std::size_t n) { return std::to_string(n); }

// The text saying what happens to the files: removed, or moved to the trash.
std::string_view Pick(DeleteMethod method, std::string_view removed, std::string_view trashed) {
    return method == DeleteMethod::Trash ? trashed : removed;
}

}  // namespace

std::string_view ConfirmDeleteCaption(DeleteMethod method) {
    return Pick(method, UiText::kConfirmCaption, UiText::kConfirmTrashCaption);
}

std::string ConfirmDeleteText(const DeleteRequest& request, const std::vector<ResultRow>& rows) {
    const DeleteMethod method = request.method;
    if (request.kind == DeleteKind::All) {
        return FillText(Pick(method, UiText::kConfirmAll, UiText::kConfirmTrashAll),
                        {{'d', Count(rows.size())}});
    }
    if (request.selected.size() == 1) {
        return FillText(Pick(method, UiText::kConfirmOne, UiText::kConfirmTrashOne),
                        {{'s', rows[request.selected.front()].DisplayName()}});
    }
    return FillText(Pick(method, UiText::kConfirmSelected, UiText::kConfirmTrashSelected),
                    {{'d', Count(request.selected.size())}});
}

std::string_view DeleteFailureCaption(DeleteMethod method) {
    return Pick(method, UiText::kDeleteErrorCaption, UiText::kTrashErrorCaption);
}

std::string_view DeleteFailureText(DeleteFailureBox box, DeleteMethod method) {
    switch (box) {
        case DeleteFailureBox::OneRow:
            return Pick(method, UiText::kDeleteErrorOne, UiText::kTrashErrorOne);
        case DeleteFailureBox::Several:
            return Pick(method, UiText::kDeleteErrorSeveral, UiText::kTrashErrorSeveral);
        case DeleteFailureBox::None:
            break;
    }
    return {};
}

std::string KeptChangedText(const DeleteOutcome& outcome, DeleteMethod method) {
    std::size_t n = 0;
    for (const DeleteFailure& failure : outcome.failures) {
        n += failure.why.kind == RemovalFailure::kChangedSinceSearch ||
             failure.why.kind == RemovalFailure::kKeptAside;
    }
    if (n == 0) return {};
    return FillText(Pick(method, UiText::kDeleteKeptChanged, UiText::kTrashKeptChanged),
                    {{'d', Count(n)}});
}

std::string_view RootRefusedText(DeleteMethod method) {
    return Pick(method, UiText::kDeleteRootChanged, UiText::kTrashRootChanged);
}

std::string DeleteProgressText(std::size_t done, std::size_t count, DeleteMethod method) {
    return FillText(Pick(method, UiText::kDeleteProgress, UiText::kTrashProgress),
                    {{'d', Count(done)}, {'n', Count(count)}});
}

std::string_view DeleteProgressCaption(DeleteMethod method) {
    return Pick(method, UiText::kDeleteProgressCaption, UiText::kTrashProgressCaption);
}

StatusTexts DeleteStatusTexts(const DeleteRequest& request, const DeleteOutcome& out,
                              std::size_t nRowsLeft, std::uint64_t totalBefore) {
    const bool bAll = request.kind == DeleteKind::All;
    StatusTexts status;
    status.bTwoPanes = true;
    const std::string rowsLeft = Count(nRowsLeft);
    const std::string_view deletedAll =
        Pick(request.method, UiText::kDeletedAll, UiText::kTrashedAll);
    if (!bAll) {
        status.strLeft =
            FillText(Pick(request.method, UiText::kDeletedCleared, UiText::kTrashedCleared),
                     {{'d', Count(out.nDeleted)}, {'s', MegaKiloText(out.freedBytes)}});
        status.strRight =
            FillText(UiText::kRemaining, {{'d', rowsLeft}, {'s', MegaKiloText(out.newTotal)}});
    } else if (nRowsLeft == 0) {
        status.strLeft = FillText(deletedAll, {{'d', Count(out.nDeleted)}});
        status.strRight = FillText(UiText::kCleared, {{'s', MegaKiloText(totalBefore)}});
    } else {
        status.strLeft = FillText(deletedAll, {{'d', Count(out.nDeleted)}});
        status.strRight =
            FillText(UiText::kRemaining, {{'d', rowsLeft}, {'s', MegaKiloText(out.keptBytes)}});
    }
    return status;
}
