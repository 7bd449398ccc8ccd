// The models the simulator knows, one file each (a family of close variants
// shares a file). model_registry.cpp lists them by name.
#pragma once

#include <cstddef>

#include "sim/analogue_modem.h"
#include "sim/isdn_adapter.h"
#include "sim/model.h"

namespace norix::sim::models {

// The subscriber number slots of current solano firmware: "&Z*0" to "&Z*5".
inline constexpr std::size_t kSolanoMsnSlots = 6;

// Desktop 56k voice modem with "+GCI" support, firmware V1.10.
[[nodiscard]] AnalogueModemData Netrunner56kData();
[[nodiscard]] ModelEntry Netrunner56k();
// The same modem sold for two countries only: it takes Denmark and the U.S.A.
[[nodiscard]] AnalogueModemData Netrunner56kDenmarkUsaData();
[[nodiscard]] ModelEntry Netrunner56kDenmarkUsa();

// Desktop 33.6k voice modem without "+GCI" support: "*NC" country codes.
[[nodiscard]] AnalogueModemData Netrunner33k6Data();
[[nodiscard]] ModelEntry Netrunner33k6();

// Desktop corvid modems: the 33.6k one with "*NC", the 56k one with "+GCI".
[[nodiscard]] AnalogueModemData Corvid336VoiceData();
[[nodiscard]] ModelEntry Corvid336Voice();
[[nodiscard]] AnalogueModemData Corvid560VoiceData();
[[nodiscard]] ModelEntry Corvid560Voice();
// The corvid 560 with the large flash part.
[[nodiscard]] AnalogueModemData Corvid560VoiceLargeFlashData();
[[nodiscard]] ModelEntry Corvid560VoiceLargeFlash();

// PC Card modem (pc_card_modem.h): wakes after 4 ignored lines, or after 6.
[[nodiscard]] AnalogueModemData Marlin560VoiceData();
[[nodiscard]] ModelEntry Marlin560Voice();
[[nodiscard]] ModelEntry Marlin560VoiceDeepSleep();

// Internal modem.
[[nodiscard]] AnalogueModemData Modem560IntData();
[[nodiscard]] ModelEntry Modem560Int();

// USB modem (usb_modem.h), with the large flash part.
[[nodiscard]] AnalogueModemData Corvid560UsbData();
[[nodiscard]] ModelEntry Corvid560Usb();

// solano 1280 adapters: the 1280i with an analogue telephone port or without
// internal hardware, the 1280mi with its internal modem, and both with
// firmware older than the "ATI7" add-on report and the country setting
// ("ATI5" answers ERROR). All answer "AT?DATE"; the 1280mi answers "AT#REV?"
// and "AT#VOL?" through its modem part.
[[nodiscard]] IsdnAdapterData Solano1280iData(AdapterAddOn addOn);
[[nodiscard]] IsdnAdapterData Solano1280miData();
[[nodiscard]] AnalogueModemData Solano1280miModemData();
[[nodiscard]] IsdnAdapterData Solano1280iOldData();
[[nodiscard]] IsdnAdapterData Solano1280miOldData();
[[nodiscard]] ModelEntry Solano1280iAnalogue();
[[nodiscard]] ModelEntry Solano1280i();
[[nodiscard]] ModelEntry Solano1280mi();
[[nodiscard]] ModelEntry Solano1280iOld();
[[nodiscard]] ModelEntry Solano1280miOld();

// The small solano without add-ons.
[[nodiscard]] IsdnAdapterData Solano640iData();
[[nodiscard]] ModelEntry Solano640i();

// KOMET II with its "AT!P0" feature word, and early firmware without it.
// Both report their firmware date to "AT#REV?" and their boot code version
// to "ATI6"; firmware before V2.05 (also one an upgrade brings) answers
// "AT!P0" with ERROR. The USB one answers at any speed and restarts slowly.
[[nodiscard]] IsdnAdapterData KometIIData();
[[nodiscard]] IsdnAdapterData KometIIEarlyData();
[[nodiscard]] IsdnAdapterData KometIIUsbData();
[[nodiscard]] ModelEntry KometII();
[[nodiscard]] ModelEntry KometIIEarly();
[[nodiscard]] ModelEntry KometIIUsb();

// Rescue mode: products whose last upgrade failed, so that only their boot
// firmware or boot program answers; an upgrade brings them back.
[[nodiscard]] ModelEntry ModemRescue();        // modem_loader.h, 57600 bit/s
[[nodiscard]] ModelEntry ModemRescue115200();  // modem_loader.h, 115200 bit/s
[[nodiscard]] ModelEntry SolanoRescue();       // adapter_boot_program.h
[[nodiscard]] ModelEntry KometIIRescue();      // adapter_boot_program.h

// A modem of another maker.
[[nodiscard]] AnalogueModemData ForeignModemData();
[[nodiscard]] ModelEntry ForeignModem();

// A port with nothing attached: it hears the host and never answers.
[[nodiscard]] ModelEntry SilentPort();

// A product that answers "ERROR" to every line at every speed.
[[nodiscard]] ModelEntry RefusingProduct();

}  // namespace norix::sim::models
