// The telephony line service: line devices that stand for the modems on
// this computer, each with the serial port behind it. An application
// initialises the service with a line directory and a callback, negotiates
// an API version per device, reads its capabilities, opens the line, places
// a pass-through data call and asks for the "comm/datamodem" handle, which
// it redeems with ClaimCommPort for the opened port.
//
// Every function returns at once. lineMakeCall and lineDrop are
// asynchronous: they return a positive request id, and the result comes
// later as LINE_REPLY (param1 the request id, param2 the result) through the
// callback. Callbacks run on the thread that called lineInitialize, from its
// message queue: whenever that thread takes or waits for messages
// (GetMessage, PeekMessage, MsgWaitForMessage of platform/window). Call
// states are reported the same way with LINE_CALLSTATE.
//
// Handles are process-wide: any thread may use them. Do not call
// lineShutdown from inside the callback of another thread's application.
#pragma once

#include <memory>

#include "platform/comm/open_failure.h"
#include "platform/comm/port.h"
#include "platform/telephony/line_directory.h"
#include "platform/telephony/line_types.h"
#include "platform/telephony/var_record.h"

namespace norix::platform::telephony {

// Lists the devices of `directory` now (the count does not change until
// lineShutdown) and remembers the callback and the calling thread.
// LINEERR_INVALPOINTER for a missing out-pointer or callback.
LONG lineInitialize(HLINEAPP* lineApp, const LineDirectory& directory, LINECALLBACK callback,
                    const char* appName, DWORD* numDevs);

// Closes every line of the application; no callback runs for it afterwards
// (one that is running on another thread is waited for).
LONG lineShutdown(HLINEAPP lineApp);

// The highest version in [apiLowVersion, apiHighVersion] that the device
// supports, or LINEERR_INCOMPATIBLEAPIVERSION. The extension id is zeroed.
LONG lineNegotiateAPIVersion(HLINEAPP lineApp, DWORD deviceID, DWORD apiLowVersion,
                             DWORD apiHighVersion, DWORD* apiVersion, LINEEXTENSIONID* extensionID);

// Fills the capabilities: line name (ASCII with its terminating zero),
// provider info ("Serial modem line on /dev/ttyUSB0"), and the device-specific part {1, 8, driver
// key text} when the device has a driver key. When the record is too small for them, only the fixed
// part and the needed size are filled (still success); LINEERR_STRUCTURETOOSMALL when even the
// fixed part does not fit.
LONG lineGetDevCaps(HLINEAPP lineApp, DWORD deviceID, DWORD apiVersion, DWORD extVersion,
                    LineDevCaps* lineDevCaps);

// Opens the line and its serial port for exclusive use. LINEERR_ALLOCATED
// when the port is held by another program or by another open line;
// LINEERR_NODEVICE when the port is not there. LastPortFailure tells why.
LONG lineOpen(HLINEAPP lineApp, DWORD deviceID, HLINE* line, DWORD apiVersion, DWORD extVersion,
              DWORD_PTR callbackInstance, DWORD privileges, DWORD mediaModes,
              const LINECALLPARAMS* callParams);

// Closes the line, its call and any comm handle nobody claimed.
LONG lineClose(HLINE line);

// Places a pass-through data call (the only kind a serial modem line
// offers: other bearer modes give LINEERR_BEARERMODEUNAVAIL). The call
// handle is valid when the function returns; LINE_REPLY follows.
LONG lineMakeCall(HLINE line, HCALL* call, const char* destAddress, DWORD countryCode,
                  const LINECALLPARAMS* callParams);

// Ends the call (it goes idle at once); LINE_REPLY follows.
LONG lineDrop(HCALL call, const char* userUserInfo, DWORD size);

// Frees an idle call's handle; LINEERR_INVALCALLSTATE while it is connected.
LONG lineDeallocateCall(HCALL call);

// Device class "comm/datamodem": a binary string of the comm handle (first
// 32-bit word) and the line name; "comm/datamodem/portname": the port path.
// With a record too small for the string only the needed size is filled
// (success) and no handle is made. Asking again before the handle was
// claimed gives the same handle.
LONG lineGetID(HLINE line, DWORD addressID, HCALL call, DWORD select, VarString* deviceID,
               const char* deviceClass);

// Takes the port behind a comm handle from lineGetID; the caller owns it from
// now on. Null for an unknown or already claimed handle.
[[nodiscard]] std::unique_ptr<comm::Port> ClaimCommPort(DWORD commHandle);

// Why the device's port could not be opened at its last try (lineOpen, or
// lineGetID opening it afresh): kind and message, e.g. "cannot open
// /dev/ttyUSB0: Permission denied (...)". Kind None when that try got the port,
// when none was made, or for an unknown application or device.
[[nodiscard]] comm::PortOpenFailure LastPortFailure(HLINEAPP lineApp, DWORD deviceID);

}  // namespace norix::platform::telephony
