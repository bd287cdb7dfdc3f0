#pragma once
// What the main frame's bars keep without a window: the button bar's 44-byte layout record,
// the top rebar's band records, the 24-byte window records with the correction that brings a
// window back from a monitor that is gone, and the M lines of the desktop's look and icons
// (every text pasted through MQuote).

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// ---- the button bar's record ("ITBar")

inline constexpr int kToolBarRecordSize = 44;
inline constexpr int kToolBarMaxButtons = 32;

struct ToolBarRecord {
    int textMode = 0; // 0 text below, 1 text right (list style), 2 no text (list style)
    int largeIcons = 1;
    std::vector<std::uint8_t> rows; // the button table's row of each button, in display order
};

// False (and out untouched) for a record of another size, a count above 32 or a row that the
// table of rowCount rows does not have.
bool ParseToolBarRecord(std::string_view bytes, int rowCount, ToolBarRecord& out);
// The first 32 buttons, the rest of the row bytes zero.
std::string BuildToolBarRecord(const ToolBarRecord& record);

// ---- the top rebar's bands ("BarSettings")

inline constexpr int kBandRecordSize = 12;
inline constexpr int kBandCount = 3; // 0 menu bar, 1 memo box, 2 button bar

struct BandRecord {
    int id = 0;
    int width = 0;
    std::uint32_t style = 0;
};

// False for a value that is missing, empty or not a whole number of records (the default
// layout then); records of bands the frame does not have are skipped.
bool ParseBandRecords(std::string_view bytes, std::vector<BandRecord>& out);
std::string BuildBandRecords(const std::vector<BandRecord>& bands);

// ---- the frame's and the menu rebar's window records ("MainWindow", "MenuBar")

inline constexpr int kWindowRecordSize = 24;

struct WindowRecord {
    int left = 0, top = 0, right = 0, bottom = 0;
    int state = 0; // the frame's show state; the menu rebar's flags
    int extra = 0; // the frame's status bar shown
};
bool ParseWindowRecord(std::string_view bytes, WindowRecord& out);
std::string BuildWindowRecord(const WindowRecord& record);

// The menu rebar's flags.
inline constexpr int kMenuBarAutoHide = 1;
inline constexpr int kMenuBarShown = 2;

// The screen the frame is placed on: the limits (the virtual screen with several monitors,
// else the primary one) and the primary screen's size.
struct ScreenLimits {
    int width = 0, height = 0;
    int primaryWidth = 0, primaryHeight = 0;
};
// Moves a rectangle that lies beyond the limits (or wholly before the screen's start) back by
// the primary screen's size until it is on the screen again.
void CorrectWindowRect(WindowRecord& r, const ScreenLimits& limits);

// ---- the desktop's look and icons on the server

struct DesktopLook {
    long background = 0;
    long textColour = 0;
    int textSize = 0;
    std::string face;
    std::string picture;
    int pictureKind = 0;
};

struct DesktopIcon {
    std::string text, memo, parameter;
    int x = 0, y = 0;
};

// The look's node prefix: per client with a client, else the user's own node.
std::string DesktopLookPrefix(bool perClient);
inline constexpr char kKillClientDesktopLine[] = "K ^[%SYS]Z(\"DESKTOP\",%USER,\"MANDANT\",%MI)";
std::vector<std::string> DesktopLookLines(bool perClient, const DesktopLook& look);
inline constexpr char kKillIconsLine[] = "K ^Z(\"DESKTOP\",%USER,\"ICONS\")";
// Icon n (1 on) as five lines.
std::vector<std::string> DesktopIconLines(int n, const DesktopIcon& icon);

inline constexpr char kClientDesktopCheckLine[] =
    "I $G(%MI)'=\"\" W:$D(^[%SYS]Z(\"DESKTOP\",%USER,\"MANDANT\",%MI)) 1";
inline constexpr char kUserDesktopCheckLine[] = "W:$D(^[%SYS]Z(\"DESKTOP\",%USER)) 1";
// The item's value: "BGCOLOR", "TEXTCOLOR", "TEXTSIZE", "TEXTFONT", "IMAGE", "IMAGETYPE".
std::string DesktopItemLine(bool perClient, std::string_view item);
// The next icon number after n (0: the first); "" after the last.
std::string NextIconLine(int n);

} // namespace vorlan
