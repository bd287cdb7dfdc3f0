#pragma once
// The server's "%FILE" request: jobs that write, read, copy, move, link, list, collect and
// import files on the workstation, each reporting through the server's globals.

#include "services/LocalFileLines.h"

#include <string>

class CRequestHub;

class CLocalFile {
  public:
    explicit CLocalFile(CRequestHub& hub) : m_hub(hub) {}
    // Every job of the request in the server's order; the request is removed afterwards.
    void Run();

  private:
    void RunJob(const std::string& path, const vorlan::FileJob& job);
    // Operations 1-4: true when the file was opened and processed.
    bool WriteFile(const std::string& path, const vorlan::FileJob& job);
    bool ReadFile(const std::string& path, const vorlan::FileJob& job);
    void Report(const std::string& path, bool ok, const std::string& routine);
    void Copy(const std::string& path, const vorlan::FileJob& job);
    void Shortcut(const std::string& path, const vorlan::FileJob& job);
    void Move(const std::string& path, const vorlan::FileJob& job);
    void List(const std::string& path, const vorlan::FileJob& job);
    void Collect(const std::string& path, const vorlan::FileJob& job);
    void ImportArchive(const std::string& path, const vorlan::FileJob& job);
    void ImportAll(const std::string& path, const vorlan::FileJob& job);
    void ImportLines(const std::string& file, const std::string& name, const std::string& resultRef,
                     size_t limit, bool keepWide);
    std::string M(const std::string& line);

    CRequestHub& m_hub;
};
