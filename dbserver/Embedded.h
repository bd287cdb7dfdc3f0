#pragma once
// Files built into the dbserver binary: the server's own M routine and the demo application
// (routines and initial globals), written out by "dbserver init".

#include <cstddef>

namespace vorlan::dbserver {

struct EmbeddedFile {
    const char* name; // file name without directory
    const char* data;
    size_t size;
};

extern const EmbeddedFile kEmbeddedFiles[];
extern const size_t kEmbeddedFileCount;

} // namespace vorlan::dbserver
