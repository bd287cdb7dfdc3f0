#pragma once
// The list window's text: the server's print output of the job, one line per server call,
// turned into the rich text that the list window reads in pieces of the size it asks for.

#include "services/PrintListLogic.h"

#include <cstddef>
#include <functional>
#include <string>

namespace vorlan {

class ListStream {
  public:
    // Answers line n; false when the server call failed.
    using LineSource = std::function<bool(int n, std::string& line)>;
    explicit ListStream(LineSource source) : m_source(std::move(source)) {}

    // Up to `room` bytes of the text; 0 once all of it has been handed over. A line longer
    // than the room is handed over across calls.
    size_t Read(char* out, size_t room);
    // Lines asked so far.
    int LinesAsked() const { return m_counter; }

  private:
    void NextLine();

    LineSource m_source;
    std::string m_pending;
    size_t m_offset = 0;
    int m_counter = 0;
    int m_emptyRun = 0;
    bool m_ended = false;
};

} // namespace vorlan
