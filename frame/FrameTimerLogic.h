#pragma once
// What a form frame's timer, stored window position and sticking decide without a window:
// the timer list and its tick lines, the position record with its lines and the correction
// of positions left on another screen size, the table of frames stuck to a frame and where
// they go. Used by the MDI frame and the modal window alike.

#include "frame/FrameLogic.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// ---- timer list

// One piece of a timer list: a screen, optionally "*" and a line of M code.
struct TimerEntry {
    std::string screen;
    std::string code;
    bool hasCode = false;
};
// The pieces up to the first empty one; neither names nor code are ever cut.
std::vector<TimerEntry> ParseTimerList(std::string_view list);
// The entries of the list that tick for one form (its screen name exactly).
std::vector<TimerEntry> TimerEntriesFor(std::string_view list, std::string_view screen);
// A routine name as M takes it after "^": "%" or a letter, then letters and digits, at most 31.
bool IsRoutineName(std::string_view name);
// "W " and the entry's code, or "W $$TIMER^screen()"; "" when the screen is no routine name
// (it is never pasted into a line as code).
std::string TimerTickLine(const TimerEntry& entry);

// ---- stored window position

struct WindowPosition {
    int left = 0, top = 0, width = 0, height = 0;
    bool maximise = false;
};
// Pieces left, top, width, height, maximise flag; anything that is not a number reads 0, and
// numbers are held within what a screen can hold.
WindowPosition ParseWindowPosition(std::string_view record);
// The user's record of the screen, or (perUser false) the one shared by all users; both set
// the workstation to "ALL" when it is empty.
std::string WindowPositionLine(std::string_view screen, bool perUser);
// Left and top written by the frame; width, height and the flag are the form's.
std::string SaveWindowPositionLine(std::string_view screen, int left, int top);

struct Placement {
    bool move = false;
    int x = 0, y = 0;
    bool size = false;
    int width = 0, height = 0;
};
// Where a stored position puts a frame in a client area of the given size: a position left
// beyond the client's right or bottom edge comes back by one client size, one that ends left
// of (or above) 10 pixels goes forward by one. Left and top both 0 keep the place; the size
// is taken only when sizing is allowed and width and height are both given.
Placement PlaceStoredPosition(const WindowPosition& stored, int clientWidth, int clientHeight,
                              bool sizingAllowed);

// ---- frames stuck to a frame

using WindowId = std::uintptr_t;

enum StickFlags : unsigned {
    kStickSideMask = 7, // 1 left, 2 right, 3 above, 4 below
    kStickCascade = 64,
    kStickRemove = 256,
    kStickSelf = 512, // the receiving frame is stuck to the window given
};

struct StuckEntry {
    unsigned flags = 0;
    WindowId window = 0;
};

class StickTable {
  public:
    static constexpr size_t kMaxEntries = 64;

    // A remove request or an update is always served; a new window only while there is room.
    // Returns false when a new window was refused.
    bool Apply(unsigned flags, WindowId window);
    // The cascaded entry of the window changes places with the last one of the same flags,
    // so that it comes to the top of its cascade.
    void BringToTop(WindowId window);
    // Drops the entries whose window is gone.
    template <class Alive> void Prune(Alive alive) {
        std::vector<StuckEntry> kept;
        for (const StuckEntry& e : m_entries)
            if (alive(e.window)) kept.push_back(e);
        m_entries.swap(kept);
    }
    const std::vector<StuckEntry>& Entries() const { return m_entries; }
    bool Empty() const { return m_entries.empty(); }

  private:
    std::vector<StuckEntry> m_entries;
};

struct StuckPlace {
    WindowId window = 0;
    int x = 0, y = 0;
};
// Where the stuck windows go beside the host: windows of one side are stacked one after the
// other, or cascade by 20 pixels with the cascade flag. sizes holds each entry's window size
// (in entry order); entries without a side are not placed.
std::vector<StuckPlace> PlaceStuckWindows(const Box& host, const std::vector<StuckEntry>& entries,
                                          const std::vector<Box>& sizes);

} // namespace vorlan
