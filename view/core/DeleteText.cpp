// The window's words for a deletion, from the templates in res/UiText.h.
#include "view/core/DeleteText.h"

#include <algorithm>

#include "res/UiText.h"
#include "search/DisplayText.h"
#include "view/core/SystemErrorKind.h"

namespace {

std::string Count(std::size_t n) { return std::to_string(n); }

// The text saying what happens to the files: removed, or moved to the trash.
std::string_view Pick(DeleteMethod method, std::string_view removed, std::string_view trashed) {
    return method == DeleteMethod::Trash ? trashed : removed;
}

// The system's error in the user's terms; the code itself where it has no
// plainer meaning.
std::string SystemReasonText(std::uint32_t nError) {
    if (nError == 0) return std::string(UiText::kReasonUnknown);
    switch (SystemErrorKindOf(nError)) {
        case SystemErrorKind::AccessDenied:
            return std::string(UiText::kReasonAccessDenied);
        case SystemErrorKind::InUse:
            return std::string(UiText::kReasonInUse);
        case SystemErrorKind::NotFound:
            return std::string(UiText::kReasonNotFound);
        case SystemErrorKind::ReadOnlyDrive:
            return std::string(UiText::kReasonReadOnlyDrive);
        case SystemErrorKind::NoSpace:
            return std::string(UiText::kReasonNoSpace);
        case SystemErrorKind::Other:
            break;
    }
    return FillText(UiText::kReasonSystemError, {{'d', std::to_string(nError)}});
}

// A reason that may come with the system's error: that error's words are
// added when it did.
std::string WithSystemReason(std::string_view reason, std::uint32_t nError) {
    if (nError == 0) return std::string(reason);
    return FillText(UiText::kWithSystemReason, {{'r', reason}, {'s', SystemReasonText(nError)}});
}

}  // namespace

std::string RemovalReasonText(const RemovalFailure& why) {
    using F = RemovalFailure;
    switch (why.kind) {
        case F::kNone:
            return std::string();
        case F::kSystem:
            return SystemReasonText(why.nError);
        case F::kRootNotOpen:
            return std::string(UiText::kReasonRootNotOpen);
        case F::kOutsideRoot:
            return std::string(UiText::kReasonOutsideRoot);
        case F::kNotAPath:
            return std::string(UiText::kReasonNotAPath);
        case F::kRootReplaced:
            return std::string(UiText::kReasonRootReplaced);
        case F::kPathNotFolder:
            return std::string(UiText::kReasonPathNotFolder);
        case F::kNotFolder:
            return std::string(UiText::kReasonNotFolder);
        case F::kFolder:
            return std::string(UiText::kReasonFolder);
        case F::kReadOnly:
            return std::string(UiText::kReasonReadOnly);
        case F::kNameStillThere:
            // Without an error the name stays because another program holds
            // the file open.
            return why.nError == 0
                       ? std::string(UiText::kReasonNameStillThere)
                       : WithSystemReason(UiText::kReasonNameStillThereError, why.nError);
        case F::kSwappedPutBack:
            return std::string(UiText::kReasonSwappedPutBack);
        case F::kSwappedInTrash:
        case F::kSwappedInRecycleBin:
            return WithSystemReason(UiText::kReasonSwappedInTrash, why.nError);
        case F::kNoTrash:
            return WithSystemReason(UiText::kReasonNoTrash, why.nError);
        case F::kTrashUnusable:
            return WithSystemReason(UiText::kReasonTrashUnusable, why.nError);
        case F::kTrashRecord:
            return WithSystemReason(UiText::kReasonTrashRecord, why.nError);
        case F::kNoFreeTrashName:
            return std::string(UiText::kReasonNoFreeTrashName);
        case F::kShellRefused:
            return WithSystemReason(UiText::kReasonShellRefused, why.nError);
        case F::kRecycleBinRefused:
            return std::string(UiText::kReasonRecycleBinRefused);
        case F::kNotRecycled:
            return why.nError == 0 ? std::string(UiText::kReasonNotRecycled)
                                   : SystemReasonText(why.nError);
        case F::kStillThere:
            return std::string(UiText::kReasonStillThere);
        case F::kChangedSinceSearch:
            return std::string(UiText::kReasonChangedSinceSearch);
        case F::kKeptAside:
            return WithSystemReason(UiText::kReasonKeptAside, why.nError);
        case F::kRecycledUnchecked:
            return std::string(UiText::kReasonRecycledUnchecked);
    }
    return SystemReasonText(why.nError);
}

std::string DeleteFailureMessage(const DeleteOutcome& outcome, DeleteMethod method,
                                 std::size_t nShown) {
    std::string text(DeleteFailureText(outcome.failureBox, method));
    if (const std::string kept = KeptChangedText(outcome, method); !kept.empty()) {
        text += "\n" + kept;
    }
    const std::vector<DeleteFailure>& failures = outcome.failures;
    if (failures.empty()) return text;
    text += '\n';
    const std::size_t nListed = std::min(nShown, failures.size());
    for (std::size_t i = 0; i < nListed; ++i) {
        text += '\n';
        text += FillText(UiText::kFailedFile, {{'s', DisplayPath(failures[i].strPath)},
                                               {'r', RemovalReasonText(failures[i].why)}});
    }
    if (failures.size() > nListed) {
        text += '\n';
        text += FillText(UiText::kMoreFailedFiles, {{'d', Count(failures.size() - nListed)}});
    }
    return text;
}

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
