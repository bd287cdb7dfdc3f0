#pragma once
// The CT-API commands the terminal readers send, byte for byte, and the status words they
// look for.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vorlan::ct {

using Bytes = std::vector<uint8_t>;

inline const Bytes kResetCt = {0x20, 0x11, 0x00, 0x00, 0x00};
inline const Bytes kRequestDesk = {0x20, 0x12, 0x01, 0x01, 0x03, 0x80, 0x01, 0x0A};
inline const Bytes kRequestMobile = {0x20, 0x12, 0x01, 0x00};
inline const Bytes kEject = {0x20, 0x15, 0x01, 0x00};
inline const Bytes kEraseBinary = {0x00, 0x0E, 0x00, 0x00};
inline const Bytes kSelectKvk = {0x00, 0xA4, 0x04, 0x00, 0x06, 0xD2, 0x76, 0x00, 0x00, 0x01, 0x01};
inline const Bytes kReadKvk = {0x00, 0xB0, 0x00, 0x00, 0x00};
inline const Bytes kSelectEgk = {0x00, 0xA4, 0x04, 0x0C, 0x06, 0xD2, 0x76, 0x00, 0x00, 0x01, 0x02};
// The organiser terminal's own forms (also the port-searching CARDSTAR's mobile request and
// eject), and the test terminal's four-byte reset.
inline const Bytes kRequestOrga = {0x20, 0x12, 0x01, 0x00, 0x01, 0x01};
inline const Bytes kEjectOrga = {0x20, 0x15, 0x01, 0x00, 0x01, 0x01};
inline const Bytes kResetCtShort = {0x20, 0x11, 0x00, 0x00};

// The KVK selection is offered this much room.
constexpr size_t kSelectKvkSize = 2048;

constexpr uint8_t kToCard = 0;
constexpr uint8_t kToTerminal = 1;

constexpr int kOk = 0x9000;
constexpr int kProcessorCard = 0x9001;
constexpr int kMobileTerminal = 0x9500;
constexpr int kCardMemoryEnd = 0x6282;
constexpr int kNoCardEjected = 0x6200;

} // namespace vorlan::ct
