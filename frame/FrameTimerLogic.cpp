#include "frame/FrameTimerLogic.h"

#include "app/ReplyFields.h"
#include "forms/FormLogic.h"

#include <cstdlib>
#include <map>
#include <utility>

namespace vorlan {

namespace {

// Far beyond any screen, near enough to zero that sums and offsets never overflow.
constexpr long kLargestCoordinate = 1 << 24;
constexpr int kCascadeStep = 20;
constexpr int kWrapMargin = 10;

int Coordinate(std::string_view text) {
    std::string s(text.substr(0, 256));
    long v = std::strtol(s.c_str(), nullptr, 10);
    if (v > kLargestCoordinate) v = kLargestCoordinate;
    if (v < -kLargestCoordinate) v = -kLargestCoordinate;
    return static_cast<int>(v);
}

// A position on one axis that was left beyond the client comes back by one client size.
void Wrap(int& low, int& high, int extent) {
    if (low >= extent && high > extent) {
        low -= extent;
        high -= extent;
    }
    if (low < kWrapMargin && high <= kWrapMargin) {
        low += extent;
        high += extent;
    }
}

} // namespace

// ---- timer list

std::vector<TimerEntry> ParseTimerList(std::string_view list) {
    std::vector<TimerEntry> entries;
    size_t at = 0;
    while (at <= list.size()) {
        size_t end = list.find(kPieceDelimiter, at);
        if (end == std::string_view::npos) end = list.size();
        std::string_view piece = list.substr(at, end - at);
        if (piece.empty()) break;
        TimerEntry e;
        size_t star = piece.find('*');
        e.screen = std::string(piece.substr(0, star));
        if (star != std::string_view::npos) {
            e.code = std::string(piece.substr(star + 1));
            e.hasCode = !e.code.empty();
        }
        entries.push_back(std::move(e));
        at = end + 1;
    }
    return entries;
}

std::vector<TimerEntry> TimerEntriesFor(std::string_view list, std::string_view screen) {
    std::vector<TimerEntry> due;
    for (TimerEntry& e : ParseTimerList(list))
        if (e.screen == screen) due.push_back(std::move(e));
    return due;
}

bool IsRoutineName(std::string_view name) {
    if (name.empty() || name.size() > 31) return false;
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (name[0] != '%' && !alpha(name[0])) return false;
    for (size_t i = 1; i < name.size(); ++i)
        if (!alpha(name[i]) && !(name[i] >= '0' && name[i] <= '9')) return false;
    return true;
}

std::string TimerTickLine(const TimerEntry& entry) {
    if (entry.hasCode) return "W " + entry.code;
    if (!IsRoutineName(entry.screen)) return "";
    return "W $$TIMER^" + entry.screen + "()";
}

// ---- stored window position

WindowPosition ParseWindowPosition(std::string_view record) {
    WindowPosition p;
    p.left = Coordinate(PieceOf(record, 1));
    p.top = Coordinate(PieceOf(record, 2));
    p.width = Coordinate(PieceOf(record, 3));
    p.height = Coordinate(PieceOf(record, 4));
    p.maximise = Coordinate(PieceOf(record, 5)) != 0;
    return p;
}

std::string WindowPositionLine(std::string_view screen, bool perUser) {
    return std::string(kWorkstationDefaultLine) + "W $G(" + WindowPositionNode(screen, perUser) + ")";
}

std::string SaveWindowPositionLine(std::string_view screen, int left, int top) {
    return std::string(kWorkstationDefaultLine) + "S $P(" + WindowPositionNode(screen, true) +
           ",%DL,1,2)=" + std::to_string(left) + "_%DL_" + std::to_string(top);
}

Placement PlaceStoredPosition(const WindowPosition& stored, int clientWidth, int clientHeight,
                              bool sizingAllowed) {
    int left = stored.left, top = stored.top;
    int right = left + stored.width, bottom = top + stored.height;
    if (left != 0 || top != 0) {
        Wrap(left, right, clientWidth);
        Wrap(top, bottom, clientHeight);
    }
    Placement p;
    p.move = stored.left != 0 || stored.top != 0;
    p.x = left;
    p.y = top;
    // A negative size is no size either.
    p.size = sizingAllowed && stored.width > 0 && stored.height > 0;
    p.width = stored.width;
    p.height = stored.height;
    return p;
}

// ---- frames stuck to a frame

bool StickTable::Apply(unsigned flags, WindowId window) {
    if (!window) return true;
    auto it = m_entries.begin();
    while (it != m_entries.end() && it->window != window)
        ++it;
    if (flags == kStickRemove) {
        if (it != m_entries.end()) m_entries.erase(it);
        return true;
    }
    if (it != m_entries.end()) {
        it->flags = flags;
        return true;
    }
    if (m_entries.size() >= kMaxEntries) return false;
    m_entries.push_back(StuckEntry{flags, window});
    return true;
}

void StickTable::BringToTop(WindowId window) {
    for (StuckEntry& e : m_entries) {
        if (e.window != window || !(e.flags & kStickCascade)) continue;
        for (auto last = m_entries.rbegin(); last != m_entries.rend(); ++last)
            if (last->flags == e.flags) {
                std::swap(e.window, last->window);
                break;
            }
        return;
    }
}

std::vector<StuckPlace> PlaceStuckWindows(const Box& host, const std::vector<StuckEntry>& entries,
                                          const std::vector<Box>& sizes) {
    std::vector<StuckPlace> places;
    // Per side: how far the stack has come, and how many windows already cascade.
    std::map<unsigned, int> stacked, cascaded;
    for (size_t i = 0; i < entries.size() && i < sizes.size(); ++i) {
        unsigned side = entries[i].flags & kStickSideMask;
        if (side < 1 || side > 4) continue;
        int w = sizes[i].right - sizes[i].left, h = sizes[i].bottom - sizes[i].top;
        // Left and right of the host the windows go down its side, above and below along it.
        bool downwards = side <= 2;
        StuckPlace p;
        p.window = entries[i].window;
        p.x = side == 1 ? host.left - w : side == 2 ? host.right : host.left;
        p.y = side == 3 ? host.top - h : side == 4 ? host.bottom : host.top;
        if (entries[i].flags & kStickCascade) {
            int k = kCascadeStep * cascaded[side]++;
            p.x += side == 1 ? -k : k;
            p.y += side == 3 ? -k : k;
        } else {
            int& along = stacked[side];
            (downwards ? p.y : p.x) += along;
            along += downwards ? h : w;
        }
        places.push_back(p);
    }
    return places;
}

} // namespace vorlan
