#pragma once

// Message, timer and operation numbers of the watch link and the memory-dump conversation.
namespace kestrun {

// From the link's dispatcher to the transfer dialog.
// wparam of both: the tag of the link that received the reply.
inline constexpr int kMsgWatchVersionReply = 3028;  // payload: the version text
inline constexpr int kMsgWatchStatusReply = 3044;   // payload: the bytes after the id; lparam n - 1

// From the conversation to the main window.
inline constexpr int kMsgDumpComPort = 4024;       // wparam: the port number that answered
inline constexpr int kMsgDumpLineRate = 4025;      // wparam: the line rate
inline constexpr int kMsgDumpWatchVersion = 4026;  // payload: the watch's version text
inline constexpr int kMsgDumpOutcome = 3266;       // payload: 12 bytes, category, result, show flag

// The transfer dialog's timers for the conversation.
inline constexpr int kTimerVersionReply = 4000;
inline constexpr int kTimerStatusReply = 4006;

inline constexpr int kOperationMemoryDump = 104;
inline constexpr int kOutcomeCategoryMemoryDump = 8;
// Outcome results: the main window shows "No virtual COM port is found" for the first and "Error
// in communicating with the watch" for the second.
inline constexpr int kDumpResultNoPort = 0;
inline constexpr int kDumpResultNoAnswer = 1;

inline constexpr unsigned kWatchLineRate = 115200;

}  // namespace kestrun
