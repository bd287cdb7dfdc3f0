#include "cards/EgkFiles.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

using namespace vorlan;

namespace {

using Bytes = std::vector<uint8_t>;

std::string Pattern(size_t n, char seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i)
        s[i] = static_cast<char>(seed + i * 7 % 251);
    return s;
}

// EF.PD: the count bytes (the document's end, counted from the file's start), the document,
// then padding the card leaves unused.
Bytes PdFile(const std::string& document, size_t padding = 40) {
    size_t end = 2 + document.size();
    std::string file = std::string(1, static_cast<char>(end >> 8)) + static_cast<char>(end & 0xFF) +
                       document + std::string(padding, '\xEE');
    return Bytes(file.begin(), file.end());
}

void PutOffset(Bytes& file, size_t at, size_t offset) {
    file[at] = static_cast<uint8_t>(offset >> 8);
    file[at + 1] = static_cast<uint8_t>(offset & 0xFF);
}

// EF.VD: four offsets, then VD and GVD at the given starts; no GVD gives the FF offsets.
Bytes VdFile(const std::string& vd, size_t vdStart, const std::string* gvd, size_t gvdStart) {
    Bytes file(8, 0);
    size_t size = vdStart + vd.size();
    if (gvd) size = std::max(size, gvdStart + gvd->size());
    file.resize(size + 30, 0xEE);
    std::copy(vd.begin(), vd.end(), file.begin() + static_cast<long>(vdStart));
    PutOffset(file, 0, vdStart);
    PutOffset(file, 2, vdStart + vd.size());
    if (gvd) {
        std::copy(gvd->begin(), gvd->end(), file.begin() + static_cast<long>(gvdStart));
        PutOffset(file, 4, gvdStart);
        PutOffset(file, 6, gvdStart + gvd->size());
    } else {
        PutOffset(file, 4, 0xFFFF);
        PutOffset(file, 6, 0xFFFF);
    }
    return file;
}

// A health card behind a terminal: READ BINARY by short file identifier or at an offset of
// the file selected last. With wholeFiles the terminal answers an extended-Le read with the
// rest of the file, else with at most 256 bytes.
struct Card {
    std::map<int, Bytes> files; // by short file identifier
    bool wholeFiles = false;
    int current = 0;
    std::vector<std::pair<Bytes, size_t>> log; // command, buffer offered

    Bytes Exchange(const Bytes& command, size_t bufferSize) {
        log.emplace_back(command, bufferSize);
        if (command.size() < 5 || command[0] != 0x00 || command[1] != 0xB0) return {0x6D, 0x00};
        size_t offset = command[3];
        if (command[2] & 0x80)
            current = command[2] & 0x1F;
        else
            offset += static_cast<size_t>(command[2]) << 8;
        const Bytes& file = files[current];
        if (offset > file.size()) return {0x6B, 0x00};
        bool extended = command.size() == 7;
        size_t n = file.size() - offset;
        if (!(extended && wholeFiles)) n = std::min<size_t>(n, 256);
        n = std::min(n, bufferSize - 2);
        Bytes answer(file.begin() + static_cast<long>(offset), file.begin() + static_cast<long>(offset + n));
        bool atEnd = offset + n == file.size() && n < 256;
        answer.push_back(atEnd ? 0x62 : 0x90);
        answer.push_back(atEnd ? 0x82 : 0x00);
        return answer;
    }
    EgkDocuments Read(bool extendedLe) {
        return ReadEgkFiles(extendedLe, [this](const Bytes& c, size_t size) { return Exchange(c, size); });
    }
};

Card MakeCard(const Bytes& pd, const Bytes& vd) {
    Card card;
    card.files[0x01] = pd;
    card.files[0x02] = vd;
    card.files[0x0C] = {0x01, 0x02, 0x03};
    return card;
}

} // namespace

TEST(EgkFiles, StatusWordIsReadOnlyFromAWholeAnswer) {
    const Bytes answer = {0x62, 0x00, 0xAB, 0x90, 0x00};
    EXPECT_EQ(TrailingStatus(answer.data(), answer.size()), 0x9000);
    EXPECT_EQ(LeadingStatus(answer.data(), answer.size()), 0x6200);
    for (size_t n : {0u, 1u}) {
        EXPECT_EQ(TrailingStatus(answer.data(), n), -1) << n;
        EXPECT_EQ(LeadingStatus(answer.data(), n), -1) << n;
    }
}

TEST(EgkFiles, CountBytesReachIntoTheNextBlock) {
    // 01 10: the rest of block 0 from offset 2 and 16 bytes of block 1.
    const std::string document = Pattern(0x110 - 2, 'a');
    Card card = MakeCard(PdFile(document), VdFile("vd", 8, nullptr, 0));
    ASSERT_EQ(card.files[1][0], 0x01);
    ASSERT_EQ(card.files[1][1], 0x10);
    EgkDocuments documents = card.Read(false);
    EXPECT_EQ(documents.pd, document);
    EXPECT_EQ(documents.vd, "vd");
    EXPECT_EQ(documents.gvd, "");
    // The reads in order, each with the buffer it is offered.
    const std::vector<std::pair<Bytes, size_t>> expected = {
        {{0x00, 0xB0, 0x8C, 0x00, 0x00}, 256},
        {{0x00, 0xB0, 0x81, 0x00, 0x00}, 8096},
        {{0x00, 0xB0, 0x01, 0x00, 0x00}, 8096},
        {{0x00, 0xB0, 0x82, 0x00, 0x00, 0x00, 0x00}, 8096},
    };
    EXPECT_EQ(card.log, expected);
}

TEST(EgkFiles, GvdWhereverItStarts) {
    const std::string vd = Pattern(300, 'v');
    const std::string gvd = Pattern(200, 'g');
    struct {
        const char* what;
        size_t vdStart, gvdStart;
    } cases[] = {
        {"right after VD, in VD's last block", 8, 308},
        {"on a block boundary", 8, 0x200},
        {"VD starting beyond block 0", 0x120, 0x300},
    };
    for (const auto& c : cases) {
        for (bool whole : {false, true}) {
            Card card = MakeCard(PdFile("pd"), VdFile(vd, c.vdStart, &gvd, c.gvdStart));
            card.wholeFiles = whole;
            EgkDocuments documents = card.Read(true);
            EXPECT_EQ(documents.vd, vd) << c.what << (whole ? ", whole files" : "");
            EXPECT_EQ(documents.gvd, gvd) << c.what << (whole ? ", whole files" : "");
            EXPECT_EQ(documents.pd, "pd");
        }
    }
}

TEST(EgkFiles, NoGvdGivesAnEmptyDocument) {
    Card card = MakeCard(PdFile("pd"), VdFile(Pattern(600, 'v'), 8, nullptr, 0));
    EgkDocuments documents = card.Read(false);
    EXPECT_EQ(documents.vd, Pattern(600, 'v'));
    EXPECT_TRUE(documents.gvd.empty());
    // FF FF: the blocks read reach to the VD's end.
    EXPECT_EQ(card.log.back().first, (Bytes{0x00, 0xB0, 0x02, 0x00, 0x00}));
}

TEST(EgkFiles, WholeFileAnswersGiveTheSameDocumentsAsBlocks) {
    const std::string pd = Pattern(900, 'p');
    const std::string vd = Pattern(700, 'v');
    const std::string gvd = Pattern(333, 'g');
    for (bool extendedLe : {false, true}) {
        Card blocks = MakeCard(PdFile(pd), VdFile(vd, 8, &gvd, 708));
        Card whole = blocks;
        whole.wholeFiles = true;
        EgkDocuments a = blocks.Read(extendedLe);
        EgkDocuments b = whole.Read(extendedLe);
        EXPECT_EQ(a.pd, pd) << extendedLe;
        EXPECT_EQ(b.pd, pd) << extendedLe;
        EXPECT_EQ(b.vd, a.vd);
        EXPECT_EQ(b.gvd, a.gvd);
        EXPECT_EQ(a.gvd, gvd);
        EXPECT_EQ(blocks.log, whole.log) << "the same reads either way";
    }
}

TEST(EgkFiles, FailedReadsAddNothing) {
    Card card = MakeCard(PdFile(Pattern(600, 'p')), VdFile("vd", 8, nullptr, 0));
    int calls = 0;
    // Block 1 of EF.PD fails: the document stops where the card stopped delivering.
    EgkDocuments documents = ReadEgkFiles(false, [&](const Bytes& c, size_t size) {
        ++calls;
        if (calls == 3) return Bytes{};
        return card.Exchange(c, size);
    });
    EXPECT_EQ(documents.pd, Pattern(600, 'p').substr(0, 254));
    EXPECT_EQ(documents.vd, "vd");

    // Nothing answers: no block is asked for and nothing comes out.
    calls = 0;
    documents = ReadEgkFiles(true, [&](const Bytes&, size_t) {
        ++calls;
        return Bytes{0x6A};
    });
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(documents.pd.empty() && documents.vd.empty() && documents.gvd.empty());
}

TEST(EgkFiles, BlockNumbersNeverNameAFile) {
    // A count of FF xx would need blocks up to 255; P1 from 0x80 on selects by file identifier.
    Card card = MakeCard({0xFF, 0x10, 'x'}, VdFile("vd", 8, nullptr, 0));
    card.Read(false);
    int blocks = 0;
    for (const auto& [command, size] : card.log) {
        if (command.size() == 5 && command[2] < 0x80) ++blocks;
        if (command[2] >= 0x80) {
            EXPECT_TRUE(command[2] == 0x81 || command[2] == 0x82 || command[2] == 0x8C);
        }
    }
    EXPECT_EQ(blocks, 127);
}

TEST(EgkFileImage, HoldsAtMost64KiBAndClipsToTheDeliveredPrefix) {
    EgkFileImage image;
    Bytes answer(300, 'a');
    answer.push_back(0x90);
    answer.push_back(0x00);
    image.Put(EgkFileImage::kMaxSize - 100, answer.data(), answer.size());
    EXPECT_EQ(image.Delivered(), 0u) << "nothing from 0 yet";
    EXPECT_EQ(image.Range(0, 10), "");
    image.Put(0, answer.data(), answer.size());
    EXPECT_EQ(image.Delivered(), 300u);
    EXPECT_EQ(image.Range(290, 400), std::string(10, 'a'));
    image.Put(300, answer.data(), 2); // only a status word
    EXPECT_EQ(image.Delivered(), 300u);
    image.Put(EgkFileImage::kMaxSize, answer.data(), answer.size());
    image.Put(300, answer.data(), answer.size());
    EXPECT_EQ(image.Delivered(), 600u);
}
