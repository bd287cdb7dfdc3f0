#pragma once
// The settings block: connection settings from the registry, overridden by the command
// line, handed whole to a running copy. Its layout is fixed (1000 bytes).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace vorlan {

struct SettingsBlock {
    char a[32];            // 0x000
    char user[32];         // 0x020 u, b
    char password[32];     // 0x040 p
    char module[64];       // 0x060 m
    char client[32];       // 0x0A0 f
    char year[8];          // 0x0C0 j, y
    char startEntry[8];    // 0x0C8 the plain word
    char address[128];     // 0x0D0 ip
    char apiPort[16];      // 0x150 port
    char telnetPort[16];   // 0x160
    char apiPassword[16];  // 0x170 pass
    char dbName[260];      // 0x180 db
    char uciAndVolume[16]; // 0x284 s
    char afterLogin[260];  // 0x294 var
    int32_t apiType;       // 0x398 api: 0 client library, 1 own socket protocol
    int32_t q;             // 0x39C
    int32_t debug;         // 0x3A0 d
    int32_t reserved1[4];  // 0x3A4
    int32_t protocol;      // 0x3B4
    int32_t protocolAll;   // 0x3B8
    int32_t protocolTime;  // 0x3BC
    int32_t com;           // 0x3C0
    int32_t lpt;           // 0x3C4
    int32_t noWin;         // 0x3C8
    int32_t ring;          // 0x3CC
    int32_t pics;          // 0x3D0
    int32_t remote;        // 0x3D4 1 remote server, 0 local database
    int32_t help;          // 0x3D8 ?
    int32_t background;    // 0x3DC
    int32_t dev;           // 0x3E0
    int32_t partitionSize; // 0x3E4

    bool AnyProtocol() const { return protocol || protocolAll || protocolTime; }
};

static_assert(sizeof(SettingsBlock) == 1000, "the block is handed to other processes whole");
static_assert(offsetof(SettingsBlock, address) == 0x0D0, "layout");
static_assert(offsetof(SettingsBlock, uciAndVolume) == 0x284, "layout");
static_assert(offsetof(SettingsBlock, apiType) == 0x398, "layout");
static_assert(offsetof(SettingsBlock, protocol) == 0x3B4, "layout");
static_assert(offsetof(SettingsBlock, remote) == 0x3D4, "layout");
static_assert(offsetof(SettingsBlock, partitionSize) == 0x3E4, "layout");

// Copies text into a fixed field, cut to the field's width less the terminator.
void SetField(char* field, size_t width, const std::string& text);
template <size_t N> void SetField(char (&field)[N], const std::string& text) {
    SetField(field, N, text);
}

// Ends every text field within its width: a block from another process may fill a field to
// its last byte.
void TerminateTextFields(SettingsBlock& block);

// Fills the connection fields from the machine-wide "General" values. get(name, default)
// returns the stored string or the default.
void ReadConnectionSettings(SettingsBlock& block,
                            const std::function<std::string(const char* name, const char* def)>& get);

// Command-line words into the block; the caller strips the switch character.
class SettingsCommandLine {
  public:
    explicit SettingsCommandLine(SettingsBlock& block);
    void Param(const char* word, bool isSwitch);

  private:
    enum Target { None, Text, Number };
    SettingsBlock& m_block;
    Target m_target;
    size_t m_offset;
    size_t m_width;
};

} // namespace vorlan
