// Window ids of the form's controls, numbered as the form has always numbered
// them, so that a control is known by one number everywhere.
#pragma once

namespace ctl {

enum : int {
    kTab = 1000,
    kList = 1001,
    kRule = 1002,
    kStart = 1003,
    kStop = 1004,
    kDelete = 1005,
    kDeleteAll = 1006,
    kBrowse = 1008,
    kFolderLabel = 1009,
    kFindSubFolder = 1010,
    kSubFolderGroup = 1011,
    kRadioAllSubFolders = 1012,
    kRadioDebugRelease = 1013,
    kRadioDebug = 1014,
    kRadioRelease = 1015,
    kFileGroup = 1016,
    kIdb = 1017,
    kObj = 1018,
    kPdb = 1019,
    kSbr = 1020,
    kIlk = 1021,
    kPch = 1022,
    kRes = 1023,
    kTimeGroup = 1024,
    kRadioAllFiles = 1025,
    kRadioPeriod = 1026,
    kCount = 1027,
    kSpinCount = 1028,
    kComboFile = 1029,
    kComboDayMonth = 1030,
    kConfirmRemove = 1031,
    kBsc = 1032,
    kComboFolder = 1033,
    kUseTrash = 1034,
    // The newer IDEs' and builds' leftovers, in their report order.
    kNewerFileGroup = 1035,
    kIpch = 1036,
    kVcDb = 1037,
    kSdf = 1038,
    kNcb = 1039,
    kIobj = 1040,
    kIpdb = 1041,
    kTlog = 1042,
    kRemoveEmptyFolders = 1043,
    // The switch between the result list's two views, and the second one.
    kViewGroup = 1044,
    kRadioFileView = 1045,
    kRadioProjectView = 1046,
    kGroupList = 1047,
    // The names of folders a search never enters, on the その他 page.
    kExcludeLabel = 1048,
    kExcludeFolders = 1049,
};

}  // namespace ctl
