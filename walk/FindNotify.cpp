// The texts of the design's file report, made from the walk's numbers.
#include "walk/FindNotify.h"

#include "walk/TimeText.h"

void CFindNotify::OnFindFileStamps(const std::string& strPath, std::uint64_t size,
                                   const FileStamp& created, const FileStamp& modified,
                                   std::uint64_t /*fileId*/) {
    // One pair per worker thread: the files of one folder mostly share their
    // minute, and the local-time conversion is the dearest step.
    thread_local CTimeText createdText;
    thread_local CTimeText modifiedText;
    OnFindFile(strPath, size, createdText.Format(created.seconds),
               modifiedText.Format(modified.seconds));
}
