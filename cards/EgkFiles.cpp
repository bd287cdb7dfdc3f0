#include "cards/EgkFiles.h"

#include <algorithm>

namespace vorlan {

namespace {

constexpr size_t kBlockSize = 256;
// P1 of a block read carries the block number in seven bits; with the eighth it names a file.
constexpr int kMaxBlock = 0x7F;

int HighByte(size_t offset) {
    return static_cast<int>((offset >> 8) & 0xFF);
}

} // namespace

int TrailingStatus(const uint8_t* answer, size_t length) {
    if (!answer || length < 2) return -1;
    return answer[length - 2] << 8 | answer[length - 1];
}

int LeadingStatus(const uint8_t* answer, size_t length) {
    if (!answer || length < 2) return -1;
    return answer[0] << 8 | answer[1];
}

void EgkFileImage::Put(size_t offset, const uint8_t* answer, size_t length) {
    if (!answer || length < 2 || offset >= kMaxSize) return;
    size_t count = std::min(length - 2, kMaxSize - offset);
    if (count == 0) return;
    if (m_bytes.size() < offset + count) {
        m_bytes.resize(offset + count);
        m_have.resize(offset + count);
    }
    std::copy(answer, answer + count, m_bytes.begin() + static_cast<std::ptrdiff_t>(offset));
    std::fill(m_have.begin() + static_cast<std::ptrdiff_t>(offset),
              m_have.begin() + static_cast<std::ptrdiff_t>(offset + count), true);
    while (m_delivered < m_have.size() && m_have[m_delivered])
        ++m_delivered;
}

std::string EgkFileImage::Range(size_t begin, size_t end) const {
    end = std::min(end, m_delivered);
    if (begin >= end) return {};
    return std::string(m_bytes.begin() + static_cast<std::ptrdiff_t>(begin),
                       m_bytes.begin() + static_cast<std::ptrdiff_t>(end));
}

namespace {

size_t Offset(const std::string& header, size_t at) {
    return static_cast<size_t>(static_cast<uint8_t>(header[at])) << 8 | static_cast<uint8_t>(header[at + 1]);
}

// The count at the start of EF.PD; 0 while the card delivered less than its two bytes.
size_t PdEnd(const EgkFileImage& pd) {
    std::string header = pd.Range(0, 2);
    return header.size() < 2 ? 0 : Offset(header, 0);
}

} // namespace

EgkVdOffsets ReadVdOffsets(const EgkFileImage& vd) {
    std::string header = vd.Range(0, 8);
    header.resize(8, '\0');
    EgkVdOffsets o;
    o.vdStart = Offset(header, 0);
    o.vdEnd = Offset(header, 2);
    o.gvdStart = Offset(header, 4);
    o.gvdEnd = Offset(header, 6);
    o.hasGvd = !((o.gvdStart & 0xFF) == 0xFF && o.gvdEnd == 0xFFFF);
    if (!o.hasGvd) {
        o.gvdEnd = o.vdEnd;
        o.gvdStart = 0;
    }
    return o;
}

int PdBlockCount(const EgkFileImage& pd) {
    return std::min(HighByte(PdEnd(pd)), kMaxBlock);
}

int VdBlockCount(const EgkFileImage& vd) {
    if (vd.Delivered() < 8) return 0;
    return std::min(HighByte(ReadVdOffsets(vd).gvdEnd), kMaxBlock);
}

EgkDocuments CutEgkDocuments(const EgkFileImage& pd, const EgkFileImage& vd) {
    EgkDocuments documents;
    documents.pd = pd.Range(2, PdEnd(pd));
    if (vd.Delivered() >= 8) {
        EgkVdOffsets o = ReadVdOffsets(vd);
        documents.vd = vd.Range(o.vdStart, o.vdEnd);
        if (o.hasGvd) documents.gvd = vd.Range(o.gvdStart, o.gvdEnd);
    }
    return documents;
}

std::vector<uint8_t> ReadStatusVdCommand() {
    return {0x00, 0xB0, 0x8C, 0x00, 0x00};
}

std::vector<uint8_t> ReadPdCommand(bool extendedLe) {
    if (extendedLe) return {0x00, 0xB0, 0x81, 0x00, 0x00, 0x00, 0x00};
    return {0x00, 0xB0, 0x81, 0x00, 0x00};
}

std::vector<uint8_t> ReadVdCommand() {
    return {0x00, 0xB0, 0x82, 0x00, 0x00, 0x00, 0x00};
}

std::vector<uint8_t> ReadBlockCommand(int block) {
    return {0x00, 0xB0, static_cast<uint8_t>(block & kMaxBlock), 0x00, 0x00};
}

EgkDocuments ReadEgkFiles(bool extendedLe, const CardExchange& exchange) {
    exchange(ReadStatusVdCommand(), kShortAnswerSize);
    auto readFile = [&](const std::vector<uint8_t>& first, int (*blocks)(const EgkFileImage&)) {
        EgkFileImage image;
        std::vector<uint8_t> answer = exchange(first, kDataAnswerSize);
        image.Put(0, answer.data(), answer.size());
        for (int k = 1, n = blocks(image); k <= n; ++k) {
            answer = exchange(ReadBlockCommand(k), kDataAnswerSize);
            image.Put(static_cast<size_t>(k) * kBlockSize, answer.data(), answer.size());
        }
        return image;
    };
    EgkFileImage pd = readFile(ReadPdCommand(extendedLe), PdBlockCount);
    EgkFileImage vd = readFile(ReadVdCommand(), VdBlockCount);
    return CutEgkDocuments(pd, vd);
}

} // namespace vorlan
