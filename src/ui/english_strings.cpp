#include "ui/english_strings.h"

#include <algorithm>
#include <iterator>

#include "ui/string_ids.h"

namespace kestrun {

namespace {

constexpr StringEntry kEnglish[] = {
    {kStrMenuFile, "File"},
    {kStrMenuImport, "Import"},
    {kStrMenuExport, "Export"},
    {kStrMenuExit, "Exit"},
    {kStrMenuView, "View"},
    {kStrMenuRefresh, "Refresh"},
    {kStrMenuDataTransfer, "Data transfer"},
    {kStrMenuReceiveWatchData, "Receive watch data"},
    {kStrMenuSetting, "Setting"},
    {kStrMenuOption, "Option"},
    {kStrMenuHelp, "Help"},
    {kStrMenuQuickGuide, "Quick guide"},
    {kStrMenuAbout, "About"},
    {kStrActivity, "Activity"},
    {kStrRemark, "Remark"},
    {kStrHeartRate, "Heart rate"},
    {kStrSpeed, "Speed"},
    {kStrPace, "Pace"},
    {kStrAltitude, "Altitude"},
    {kStrDistance, "Distance"},
    {kStrMoveToActivity, "Move to activity"},
    {kStrTime, "Time"},
    {kStrKilometre, "km"},
    {kStrMile, "mile"},
    {kStrMetre, "m"},
    {kStrFoot, "ft"},
    {kStrMinute, "min"},
    {kStrNumberOfLaps, "No. of laps"},
    {kStrDeleteAllDataQuestion, "Are you sure you want to delete ALL DATA"},
    {kStrDataPath, "Data Path"},
    {kStrResetToDefault, "Reset to default"},
    {kStrCancel, "Cancel"},
    {kStrOk, "Ok"},
    {kStrDataTransfer, "Data transfer"},
    {kStrReset, "Reset"},
    {kStrSingleClickLaunch, "Single-click launch"},
    {kStrDoubleClickLaunch, "Double-click launch"},
    {kStrDisable, "Disable"},
    {kStrLanguage, "Language"},
    {kStrSaveAndExit, "Save and exit"},
    {kStrActivityRunning, "Running"},
    {kStrActivityCycling, "Cycling"},
    {kStrActivityHiking, "Hiking"},
    {kStrActivitySailing, "Sailing"},
    {kStrActivityUser, "User"},
    {kStrMessage, "Message"},
    {kStrDataTransferCompleted, "Data transfer is completed"},
    {kStrFileSaved, "File saved"},
    {kStrErrorSavingFile, "Error in saving file !"},
    {kStrLapTime, "Lap Time"},
    {kStrItem, "Item"},
    {kStrDoNotEnterCharacters, "Please do not enter the following characters\r\n"},
    {kStrDeleteWorkoutFile, "Delete workout file"},
    {kStrReadingData, "Reading data"},
    {kStrLap, "Lap"},
    {kStrData, "Data"},
    {kStrSureToDelete, "Are your sure to delete it ?"},
    {kStrDate, "Date"},
    {kStrInvalidFilename, "Invalid filename error !"},
    {kStrFileExistError, "File exist error !"},
    {kStrImportFileDone, "Import file is done"},
    {kStrErrorImportingFile, "Error in file importing"},
    {kStrNoVirtualComPort, "No virtual COM port is found"},
    {kStrNoDataInWatch, "No data in watch"},
    {kStrErrorCommunicatingWithWatch, "Error in communicating with the watch"},
    {kStrDataTransferAbort, "Data transfer abort !"},
    {kStrNoGpsData, "No GPS data !"},
    {kStrRenameActivity, "Rename activity"},
    {kStrActivityExist, "Activity exist !"},
    {kStrNoGoogleEarthInstalled,
     "No Google Earth is installed in your system. \r\nDo you want to download Google Earth ? "},
    {kStrProcessCompleted, "The process is completed !"},
    {kStrErrorMovingFile, "Error in moving file !"},
    {kStrExport, "Export"},
    {kStrOption, "Option"},
    {kStrAbout, "About"},
    {kStrSplitTime, "Split Time"},
    {kStrDefault, "Default"},
    {kStrTotalTime, "Total time"},
    {kStrFastLap, "Fast lap"},
    {kStrAverageLapTime, "Avg. lap time"},
    {kStrNoStopwatchFound, "No stopwatch is found !"},
    {kStrCheckClipCable,
     "Please make sure that USB clip cable has been plugged into PC and\r\nthe clip has been "
     "attached to the stop watch correctly and securely. "},
    {kStrLapFile, "Lap file"},
    {kStrCommaSeparatedValuesFile, "Comma-separated values file"},
    {kStrNauticalMile, "nm"},
    {kStrKilometresPerHour, "km/h"},
    {kStrMilesPerHour, "mph"},
    {kStrKnots, "kt"},
    {kStrErrorLoadingSessionSummary, "Error in loading session summary file '%s' !"},
    {kStrAddActivity, "Add Activity"},
    {kStrForbiddenCharacterList, "\\ , / , : , * , ? , < , > , | , \""},
    {kStrRenameActivityTitle, "Rename Activity"},
    {kStrMove, "Move"},
    {kStrFileFirmwareVersion, "File f/w ver=%.2f"},
    {kStrBurnInTest, "Burn in test"},
    {kStrNumberOfTests, "No. of test"},
    {kStrFirstTestOfTotal, "Test 1/%d"},
    {kStrTestOfTotal, "Test %d/%d"},
    {kStrBurnInTestTitle, "Burn-in Test"},
    {kStrTimeout, "Timeout : "},
    {kStrCancelBurnInTest, "Cancel burn-in test"},
    {kStrBurnInTestAborted, "Burn-in test aborted !"},
    {kStrBurnInTestCompleted, "Burn-in test is completed !"},
    {kStrResetToNormalMode, "Reset to normal mode"},
    {kStrResetToNormalOperationMode, "Reset to normal operation mode."},
    {kStrDataTransferTitle, "Data Transfer"},
    {kStrReadingDataEllipsis, "Reading data ..."},
    {kStrLogCheckBox, "Log (log.txt)"},
    {kStrStartDownload, "Start download ..."},
    {kStrPacketDialogTitle, "Packet (Lapmark)"},
    {kStrErrorCaption, "Error"},
    {kStrNoDataInLog, "No data in log !"},
    {kStrErrorCreatingLogFile, "Error in create log file !"},
    {kStrLogFileWritten, "Write log file is completed !"},
    {kStrNoDataInBinaryLog, "No data in log (binary) !"},
    {kStrErrorCreatingBinaryLogFile, "Error in create binary log file !"},
    {kStrEnterCommandString, "Pls. enter the CMD string !"},
    {kStrErrorInInputPacket,
     "Error in input packet !\r\n[01] - Get segment address\r\n[02 00 12 05] - read 5 bytes at "
     "0x1200"},
    {kStrNoValidInputData, "No valid input data !"},
    {kStrOpenConnectionFirst, "Please open connection first !"},
    {kStrPortOpen, "Port open"},
    {kStrOpenConnectionResult, "Open connection %s "},
    {kStrSuccess, "Success"},
    {kStrFail, "FAIL"},
    {kStrPortClosed, "port closed"},
    {kStrCloseConnection, "Close connection"},
    {kStrRead8kCompleted, "Read 8k EEPROM is completed !"},
    {kStrFileIsSaved, "File is saved !"},
    {kStrSessionFilesNotSaved,
     "Some sessions could not be saved as workout files. Check that the data folder can be written "
     "!"},
    {kStrWatchRamContentFilter, "Watch RAM content (*.ram)||"},
    {kStrNoWinsockSupport, "No Winsock support!"},
    {kStrMenuDebug, "DEBUG"},
    {kStrMenuPacket, "Packet"},
    {kStrWatchVersionStatus, "Watch : %s"},
    {kStrDiagnosticWindowTitle, "SmartUpd Debug"},
    {kStrLineCount, "Line count = %d"},
    {kStrClear, "Clear"},
    {kStrCopyBufferString, "Copy buf string"},
    {kStrInfoDebug, "Info (Dbg)"},
    {kStrDataLocation, "Data location"},
    {kStrInvalidInput, "Invalid Input"},
    {kStrInvalidProxyHost, "Please input a valid proxy IP or host name."},
    {kStrInvalidProxyPort, "Please input a valid proxy port number."},
};

// Lookups bisect the table, so an entry added out of order is a build error.
static_assert(std::is_sorted(std::begin(kEnglish), std::end(kEnglish),
                             [](const StringEntry& a, const StringEntry& b) {
                                 return a.id < b.id;
                             }));

}  // namespace

std::span<const StringEntry> english_string_table() {
    return kEnglish;
}

std::string_view english_text(int id) {
    auto table = english_string_table();
    auto it = std::lower_bound(table.begin(), table.end(), id,
                               [](const StringEntry& e, int key) { return e.id < key; });
    if (it == table.end() || it->id != id)
        return {};
    return it->text;
}

}  // namespace kestrun
