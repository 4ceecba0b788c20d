#pragma once

// The numbers of the messages that the stopwatch link, its download thread and the transfer
// window exchange. They keep the numbers of the window messages they stand for.
namespace kestrun {

constexpr int kMsgHandshakeAnswered = 4045;  // the clip answered the handshake
constexpr int kMsgSegmentAddress = 4046;     // wparam: the 16-bit segment address
constexpr int kMsgPacketSent = 4050;      // bytes: a sent report, seq .. checksum; lparam: length
constexpr int kMsgPacketReceived = 4051;  // bytes: a received report; wparam 1 checksum ok
constexpr int kMsgPacketSwitchesChanged = 4052;  // the packet dialog re-reads its three switches
constexpr int kMsgTransferNotice = 4053;         // wparam: one of the kNotice codes below
constexpr int kMsgProgressRange = 4054;          // wparam low, lparam high
constexpr int kMsgProgressStep = 4055;
constexpr int kMsgProgressPosition = 4056;  // wparam: position
constexpr int kMsgFullReadText = 4057;      // text: progress or error of the full memory read
constexpr int kMsgDownloadEnded = 4058;     // wparam 1 success, 0 failure
constexpr int kMsgLogLine = 4060;           // text: one line for the transfer log
constexpr int kMsgFullReadPiece = 4061;     // bytes + wparam address, or wparam 0 lparam 1: end
constexpr int kMsgTransferAborted = 3142;   // to the owner window on Cancel

// wparam of kMsgTransferNotice.
constexpr int kNoticeNoStopwatch = 1;
constexpr int kNoticeNoSession = 16;
constexpr int kNoticeClipTimeout = 17;

}  // namespace kestrun
