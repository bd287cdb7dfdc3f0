#pragma once
// The grid's cell address and the set of selected cells. No Windows in here: built and tested
// in every tree.

#include <cstddef>
#include <cstdint>
#include <unordered_set>

struct CCellID {
    int row = -1;
    int col = -1;
    CCellID() = default;
    CCellID(int r, int c) : row(r), col(c) {}
    bool IsValid() const { return row >= 0 && col >= 0; }
    bool operator==(const CCellID& o) const { return row == o.row && col == o.col; }
    bool operator!=(const CCellID& o) const { return !(*this == o); }
};

// A rectangle of cells, both ends included; -1 everywhere is the empty range.
struct CCellRange {
    int minRow = -1;
    int minCol = -1;
    int maxRow = -1;
    int maxCol = -1;
    CCellRange() = default;
    CCellRange(int r1, int c1, int r2, int c2) : minRow(r1), minCol(c1), maxRow(r2), maxCol(c2) {}
    bool IsValid() const { return minRow >= 0 && minCol >= 0 && maxRow >= minRow && maxCol >= minCol; }
    bool InRange(int r, int c) const {
        return IsValid() && r >= minRow && r <= maxRow && c >= minCol && c <= maxCol;
    }
};

// The Park-Miller minimal-standard step, the spread of a 32-bit key over the buckets.
uint32_t ParkMillerStep(uint32_t key);

// The selected cells. Keyed on the whole (row, column) pair: a key built from the row's low
// 16 bits would make rows r and r + 65536 one cell, which a long grid reaches.
class CGridSelection {
  public:
    void Add(int row, int col) { m_cells.insert(Key(row, col)); }
    void Remove(int row, int col) { m_cells.erase(Key(row, col)); }
    bool Contains(int row, int col) const { return m_cells.count(Key(row, col)) != 0; }
    size_t Count() const { return m_cells.size(); }
    bool IsEmpty() const { return m_cells.empty(); }
    void Clear() { m_cells.clear(); }
    template <class F> void ForEach(F f) const {
        for (uint64_t k : m_cells)
            f(CCellID(static_cast<int>(k >> 32), static_cast<int>(k & 0xFFFFFFFFu)));
    }

  private:
    static uint64_t Key(int row, int col) {
        return (static_cast<uint64_t>(static_cast<uint32_t>(row)) << 32) | static_cast<uint32_t>(col);
    }
    struct Hash {
        size_t operator()(uint64_t k) const {
            return ParkMillerStep(static_cast<uint32_t>(k) ^ static_cast<uint32_t>(k >> 32) * 40503u);
        }
    };
    std::unordered_set<uint64_t, Hash> m_cells;
};
