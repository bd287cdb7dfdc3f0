// Thumbnails cold and warm, in one run:
//   thumbs_bench FOLDER [COUNT]
// Renders 120 x 120 thumbnails of the first COUNT pictures (200) of FOLDER, in name order,
// through the viewer's thumbnail path into a memory device context: first with an empty cache
// folder of its own (cold: decode, scale, write the JPEG), then the same again (warm: read
// from the cache). Prints "cold <ms>", "warm <ms>" and, last, "ratio <cold/warm>"
// (target: at least 10).
#include "framework/FolderFiles.h"
#include "framework/Gdi.h"
#include "tools/ImageViewer.h"

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Pictures(const std::string& folder, size_t count) {
    std::vector<std::string> names;
    for (const fw::FolderEntry& entry : fw::ListFolder(folder + "*.jpg"))
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    if (names.size() > count) names.resize(count);
    return names;
}

void RemoveCache(const std::string& cache) {
    std::string thumbs = cache + "Thumbs\\";
    for (const fw::FolderEntry& entry : fw::ListFolder(thumbs + "*"))
        ::DeleteFileA((thumbs + entry.name).c_str());
    ::SetFileAttributesA((cache + "Thumbs").c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryA((cache + "Thumbs").c_str());
}

// Milliseconds for one pass; -1 when a thumbnail was not drawn.
double Pass(CImageViewer& viewer, const std::string& cache, const std::string& folder,
            const std::vector<std::string>& names, HDC dc) {
    const RECT rect{0, 0, 120, 120};
    auto start = std::chrono::steady_clock::now();
    for (const std::string& name : names) {
        bool writeFailed = false;
        if (!viewer.LoadThumbnail(cache.c_str(), folder.c_str(), name.c_str(), dc, rect, &writeFailed) ||
            writeFailed) {
            std::fprintf(stderr, "thumbs_bench: no thumbnail of %s\n", name.c_str());
            return -1;
        }
    }
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: thumbs_bench FOLDER [COUNT]\n");
        return 2;
    }
    std::string folder = argv[1];
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    size_t count = argc > 2 ? static_cast<size_t>(std::max(1, std::atoi(argv[2]))) : 200;
    std::vector<std::string> names = Pictures(folder, count);
    if (names.empty()) {
        std::fprintf(stderr, "thumbs_bench: no pictures in %s\n", folder.c_str());
        return 1;
    }
    char temp[MAX_PATH];
    ::GetTempPathA(sizeof temp, temp);
    std::string cache = std::string(temp) + "thumbs_bench\\";
    ::CreateDirectoryA(cache.c_str(), nullptr);
    RemoveCache(cache);

    double cold = -1, warm = -1;
    {
        CClientDC screen(nullptr);
        CBitmap canvas;
        canvas.Attach(::CreateCompatibleBitmap(screen, 120, 120));
        CMemoryDC dc(screen);
        CSelectedObject select(dc, canvas);
        CImageViewer viewer;
        cold = Pass(viewer, cache, folder, names, dc);
        if (cold >= 0) warm = Pass(viewer, cache, folder, names, dc);
    }
    RemoveCache(cache);
    ::RemoveDirectoryA(cache.c_str());
    if (cold < 0 || warm < 0) return 1;
    std::printf("pictures %zu\n", names.size());
    std::printf("cold %.1f\n", cold);
    std::printf("warm %.1f\n", warm);
    std::printf("ratio %.1f\n", warm > 0 ? cold / warm : 0.0);
    return 0;
}
