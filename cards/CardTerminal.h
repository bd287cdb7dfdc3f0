#pragma once
// Chip-card terminals behind the CT-API (CT_init, CT_data, CT_close), which every terminal
// maker ships in a library of its own. The reader object loads the library a reader kind
// names, talks to the terminal and frees the library again within the one call; all it
// delivers are the M lines it sends.

#include "cards/EgkFiles.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

class CLoadedLibrary;
class CSession;

// The entry points as the libraries export them.
using CtInitEntry = signed char(WINAPI*)(unsigned short ctn, unsigned short pn);
using CtDataEntry = signed char(WINAPI*)(unsigned short ctn, unsigned char* dad, unsigned char* sad,
                                         unsigned short lenc, unsigned char* command, unsigned short* lenr,
                                         unsigned char* response);
using CtCloseEntry = signed char(WINAPI*)(unsigned short ctn);

// How the terminals of the CARDSTAR family differ.
struct CardstarFamily {
    const char* library;
    unsigned short ctn;
    bool searchesPort; // else port 1
    std::vector<uint8_t> requestDesk;
    std::vector<uint8_t> requestMobile; // empty: a mobile terminal is not accepted
    std::vector<uint8_t> eject;
};
extern const CardstarFamily CARDSTAR;     // kind 5
extern const CardstarFamily CARDSTARPort; // kind 3
extern const CardstarFamily Cherry;       // kind 4
extern const CardstarFamily CherryST;     // kind 7

class CCardTerminal {
  public:
    explicit CCardTerminal(CSession& session);
    ~CCardTerminal();
    CCardTerminal(const CCardTerminal&) = delete;
    CCardTerminal& operator=(const CCardTerminal&) = delete;

    // The CARDSTAR family: load, open, reset, read by the terminal kind, close, free.
    void ReadCARDSTAR();
    void ReadCARDSTARPort();
    void ConnectCherry();
    void ConnectCherryST();
    // The organiser terminal (kind 2) and the test terminal (kind 6), separate simpler flows.
    void OrgaRead();
    void TestSCR335();

  private:
    enum class Terminal { Failed, Desk, Mobile };

    // The library and its three entries; a library without all of them is given back.
    bool Load(const char* library);
    void Free();
    // CT_init; remembers the port.
    bool Init(unsigned short ctn, unsigned short port);
    void Close(unsigned short ctn);
    // One command: the answer lands in the short buffer when it offers at most 256 bytes,
    // else in the data buffer. False when the call failed.
    bool Send(unsigned short ctn, uint8_t dad, const std::vector<uint8_t>& command, size_t offered);
    const uint8_t* Answer() const;
    size_t AnswerLength() const;
    // The last answer's status word (its last two bytes, or its first two); -1 after a failed
    // call or an answer too short to hold one.
    int Status() const;
    int LeadingStatus() const;

    void ReadFamily(const CardstarFamily& family);
    bool OpenFamily(const CardstarFamily& family);
    Terminal ResetTerminal(unsigned short ctn, const std::vector<uint8_t>& reset);
    void ReadStation(const CardstarFamily& family);
    void ReadMobil(const CardstarFamily& family);
    // Both say whether the card's data was read.
    bool ReadKVK(unsigned short ctn);
    bool ReadEGK(unsigned short ctn, bool extendedLe);
    void EraseData(unsigned short ctn);
    void EjectCard(const CardstarFamily& family);

    Terminal OrgaReset();
    bool OrgaGetCard();
    bool OrgaReadCard();
    void OrgaEraseData();

    CSession& m_session;
    std::unique_ptr<CLoadedLibrary> m_library;
    CtInitEntry m_pInit = nullptr;
    CtDataEntry m_pData = nullptr;
    CtCloseEntry m_pClose = nullptr;
    unsigned short m_lenr = 0;
    unsigned short m_lenc = 0;
    unsigned char m_dad = 0;
    unsigned char m_sad = 2;
    uint8_t m_shortResponse[vorlan::kShortAnswerSize] = {};
    uint8_t m_dataResponse[vorlan::kDataAnswerSize] = {};
    unsigned short m_port = 0;
    signed char m_lastResult = -1;
    bool m_shortAnswer = true; // where the last answer landed
    bool m_open = false;       // CT_init succeeded and CT_close is owed
    unsigned short m_openCtn = 0;
};
