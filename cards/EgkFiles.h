#pragma once
// The processor card's (eGK) files, read by READ BINARY, and the documents cut from them.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vorlan {

// The status word of an answer from its last two bytes (SW1 in the high byte); -1 for an
// answer shorter than two bytes, which counts as a failed command.
int TrailingStatus(const uint8_t* answer, size_t length);
// The status word from an answer's first two bytes (eject and erase); -1 as above.
int LeadingStatus(const uint8_t* answer, size_t length);

// One card file as an image at its offsets: an answer to a read at offset o lands at o.
// Holds at most 64 KiB.
class EgkFileImage {
  public:
    static constexpr size_t kMaxSize = 65536;
    // The answer's data (its status bytes dropped) at the offset; an answer shorter than two
    // bytes adds nothing.
    void Put(size_t offset, const uint8_t* answer, size_t length);
    // The bytes [begin, end) clipped to what the card delivered without a gap from 0.
    std::string Range(size_t begin, size_t end) const;
    size_t Delivered() const { return m_delivered; }

  private:
    std::vector<uint8_t> m_bytes;
    std::vector<bool> m_have;
    size_t m_delivered = 0;
};

// The compressed documents as the card holds them; the GVD is empty when the card has none.
struct EgkDocuments {
    std::string pd, vd, gvd;
};

// Offsets at the start of EF.VD, high byte first.
struct EgkVdOffsets {
    size_t vdStart = 0, vdEnd = 0, gvdStart = 0, gvdEnd = 0;
    bool hasGvd = false;
};
// Reads the eight offset bytes of EF.VD's image (zeros where the card delivered less).
EgkVdOffsets ReadVdOffsets(const EgkFileImage& vd);
// How many blocks (1..n, 256 bytes each) follow the first read of each file. Block numbers
// above 127 cannot be named in READ BINARY and are never asked for.
int PdBlockCount(const EgkFileImage& pd);
int VdBlockCount(const EgkFileImage& vd);
// The documents cut from the two file images.
EgkDocuments CutEgkDocuments(const EgkFileImage& pd, const EgkFileImage& vd);

// READ BINARY commands of the health application.
std::vector<uint8_t> ReadStatusVdCommand();
std::vector<uint8_t> ReadPdCommand(bool extendedLe);
std::vector<uint8_t> ReadVdCommand();
std::vector<uint8_t> ReadBlockCommand(int block);
// Answer buffers the terminal is offered: the short one and the data one.
constexpr size_t kShortAnswerSize = 256;
constexpr size_t kDataAnswerSize = 8096;

// Sends one command to the card with an answer buffer of the given size; returns the answer
// (status word included), empty when the call failed.
using CardExchange =
    std::function<std::vector<uint8_t>(const std::vector<uint8_t>& command, size_t bufferSize)>;
// The reads that follow a selected health application: EF.StatusVD, EF.PD with its blocks
// and EF.VD with its blocks, in that order.
EgkDocuments ReadEgkFiles(bool extendedLe, const CardExchange& exchange);

} // namespace vorlan
