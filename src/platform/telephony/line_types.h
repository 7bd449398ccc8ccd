// Types, constants and the call parameter record of the telephony line
// service, in the service's own terms. Result codes are LONG: 0 for success,
// a positive request id for an asynchronous request, a negative LINEERR_*
// value for a failure.
#pragma once

#include <cstdint>
#include <functional>

namespace norix::platform::telephony {

using DWORD = std::uint32_t;
using LONG = std::int32_t;
using DWORD_PTR = std::uintptr_t;

// Handles are never 0 and never reused within a run, so a stale handle is
// simply invalid.
using HLINEAPP = std::uintptr_t;
using HLINE = std::uintptr_t;
using HCALL = std::uintptr_t;

// Called on the thread that called lineInitialize, from that thread's message
// loop: hDevice is the line or call the message is about, instance the
// callback instance given to lineOpen. For LINE_REPLY param1 is the request
// id and param2 the result (a LONG: 0 or a LINEERR_* value).
using LINECALLBACK = std::function<void(DWORD_PTR hDevice, DWORD message, DWORD_PTR instance,
                                        DWORD_PTR param1, DWORD_PTR param2, DWORD_PTR param3)>;

// API versions: major in the high word, minor in the low word.
inline constexpr DWORD kApiVersion13 = 0x00010003;
inline constexpr DWORD kApiVersion14 = 0x00010004;

constexpr LONG LineErr(DWORD code) { return static_cast<LONG>(code); }

inline constexpr LONG LINEERR_ALLOCATED = LineErr(0x80000001);
inline constexpr LONG LINEERR_BADDEVICEID = LineErr(0x80000002);
inline constexpr LONG LINEERR_BEARERMODEUNAVAIL = LineErr(0x80000003);
inline constexpr LONG LINEERR_CALLUNAVAIL = LineErr(0x80000005);
inline constexpr LONG LINEERR_INCOMPATIBLEAPIVERSION = LineErr(0x8000000C);
inline constexpr LONG LINEERR_INCOMPATIBLEEXTVERSION = LineErr(0x8000000D);
inline constexpr LONG LINEERR_INVALAPPHANDLE = LineErr(0x80000014);
inline constexpr LONG LINEERR_INVALCALLHANDLE = LineErr(0x80000018);
inline constexpr LONG LINEERR_INVALCALLPARAMS = LineErr(0x80000019);
inline constexpr LONG LINEERR_INVALCALLSELECT = LineErr(0x8000001B);
inline constexpr LONG LINEERR_INVALCALLSTATE = LineErr(0x8000001C);
inline constexpr LONG LINEERR_INVALDEVICECLASS = LineErr(0x80000023);
inline constexpr LONG LINEERR_INVALLINEHANDLE = LineErr(0x8000002B);
inline constexpr LONG LINEERR_INVALMEDIAMODE = LineErr(0x8000002F);
inline constexpr LONG LINEERR_INVALPOINTER = LineErr(0x80000035);
inline constexpr LONG LINEERR_INVALPRIVSELECT = LineErr(0x80000036);
inline constexpr LONG LINEERR_NODEVICE = LineErr(0x80000042);
inline constexpr LONG LINEERR_OPERATIONFAILED = LineErr(0x80000048);
inline constexpr LONG LINEERR_OPERATIONUNAVAIL = LineErr(0x80000049);
inline constexpr LONG LINEERR_RESOURCEUNAVAIL = LineErr(0x8000004B);
inline constexpr LONG LINEERR_STRUCTURETOOSMALL = LineErr(0x8000004D);

// Callback messages.
inline constexpr DWORD LINE_CALLSTATE = 2;
inline constexpr DWORD LINE_REPLY = 12;

// Call states (param1 of LINE_CALLSTATE).
inline constexpr DWORD LINECALLSTATE_IDLE = 0x00000001;
inline constexpr DWORD LINECALLSTATE_CONNECTED = 0x00000100;

inline constexpr DWORD LINEBEARERMODE_VOICE = 0x00000001;
inline constexpr DWORD LINEBEARERMODE_PASSTHROUGH = 0x00000040;
inline constexpr DWORD LINEMEDIAMODE_DATAMODEM = 0x00000010;
inline constexpr DWORD LINECALLPARAMFLAGS_IDLE = 0x00000002;
inline constexpr DWORD LINEADDRESSMODE_ADDRESSID = 0x00000001;

inline constexpr DWORD LINECALLPRIVILEGE_NONE = 0x00000001;
inline constexpr DWORD LINECALLPRIVILEGE_MONITOR = 0x00000002;
inline constexpr DWORD LINECALLPRIVILEGE_OWNER = 0x00000004;

inline constexpr DWORD LINECALLSELECT_LINE = 0x00000001;
inline constexpr DWORD LINECALLSELECT_ADDRESS = 0x00000002;
inline constexpr DWORD LINECALLSELECT_CALL = 0x00000004;

inline constexpr DWORD STRINGFORMAT_ASCII = 0x00000001;
inline constexpr DWORD STRINGFORMAT_BINARY = 0x00000004;

struct LINEEXTENSIONID {
  DWORD dwExtensionID0 = 0;
  DWORD dwExtensionID1 = 0;
  DWORD dwExtensionID2 = 0;
  DWORD dwExtensionID3 = 0;
};

struct LINEDIALPARAMS {
  DWORD dwDialPause = 0;
  DWORD dwDialSpeed = 0;
  DWORD dwDigitDuration = 0;
  DWORD dwWaitForDialtone = 0;
};

// The parameters of a call to be placed. The service reads the fixed part
// only; the size/offset pairs of the variable parts must be 0.
struct LINECALLPARAMS {
  DWORD dwTotalSize = 0;
  DWORD dwBearerMode = 0;
  DWORD dwMinRate = 0;
  DWORD dwMaxRate = 0;
  DWORD dwMediaMode = 0;
  DWORD dwCallParamFlags = 0;
  DWORD dwAddressMode = 0;
  DWORD dwAddressID = 0;
  LINEDIALPARAMS DialParams;
  DWORD dwOrigAddressSize = 0;
  DWORD dwOrigAddressOffset = 0;
  DWORD dwDisplayableAddressSize = 0;
  DWORD dwDisplayableAddressOffset = 0;
  DWORD dwCalledPartySize = 0;
  DWORD dwCalledPartyOffset = 0;
  DWORD dwCommentSize = 0;
  DWORD dwCommentOffset = 0;
  DWORD dwUserUserInfoSize = 0;
  DWORD dwUserUserInfoOffset = 0;
  DWORD dwHighLevelCompSize = 0;
  DWORD dwHighLevelCompOffset = 0;
  DWORD dwLowLevelCompSize = 0;
  DWORD dwLowLevelCompOffset = 0;
  DWORD dwDevSpecificSize = 0;
  DWORD dwDevSpecificOffset = 0;
};
static_assert(sizeof(LINECALLPARAMS) == 112);

}  // namespace norix::platform::telephony
