#include "tools/ImageViewerLogic.h"
#include "tools/FolderPaths.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vorlan {

namespace {

constexpr const char* kFormatNames[] = {
    "Unbekanntes Bildformat",
    "Windows Bitmap",
    "Macintosh Datei",
    "TARGA Datei",
    "TIFF Datei",
    "JPEG Datei",
    "PNG Datei",
    "Encapsulated Postscript/TIFF",
    "Windows Meta Datei",
    "Enhanced Windows Meta Datei",
    "PCX Datei",
    "Portierbare Graustufen Datei",
    "GIF Datei",
    "Portierbare Pixeltabellen Datei",
    "Photoshop Datei",
};
constexpr int32_t kFormatCount = static_cast<int32_t>(sizeof kFormatNames / sizeof kFormatNames[0]);
constexpr const char* kNoPreview = "Keine Vorschau m\xf6glich";

int Round(double value) {
    return static_cast<int>(std::lround(value));
}

std::string Bounded(std::string path) {
    return path.size() < kPathCapacity ? path : std::string();
}

} // namespace

bool FitPicture(int targetWidth, int targetHeight, int pictureWidth, int pictureHeight, ViewerRect& out) {
    out = ViewerRect{};
    if (targetWidth <= 0 || targetHeight <= 0 || pictureWidth <= 0 || pictureHeight <= 0) return false;
    double width = pictureWidth * (static_cast<double>(targetHeight) / pictureHeight);
    double height = targetHeight;
    if (targetWidth < width) {
        width = targetWidth;
        height = pictureHeight * (static_cast<double>(targetWidth) / pictureWidth);
    }
    out.width = std::max(1, Round(width));
    out.height = std::max(1, Round(height));
    out.left = (targetWidth - out.width) / 2;
    out.top = (targetHeight - out.height) / 2;
    return true;
}

double ClampZoom(double zoom) {
    if (!(zoom >= kMinZoom)) return kMinZoom; // NaN too
    return std::min(zoom, kMaxZoom);
}

int ZoomedExtent(int picture, double zoom) {
    return picture > 0 ? static_cast<int>(picture * ClampZoom(zoom)) : 0;
}

int ScrollPosition(int code, int position, int track, int client, int picture, double zoom) {
    switch (code) {
    case kScrollLineUp: position -= 1; break;
    case kScrollLineDown: position += 1; break;
    case kScrollPageUp: position -= client; break;
    case kScrollPageDown: position += client; break;
    case kScrollThumbPosition:
    case kScrollThumbTrack: position = track; break;
    case kScrollTop: position = 0; break;
    case kScrollBottom: position = picture; break;
    default: break;
    }
    return std::clamp(position, 0, std::max(0, ZoomedExtent(picture, zoom)));
}

int ZoomScrollPosition(int scroll, int cursor, int client, int picture, double oldZoom, double newZoom) {
    oldZoom = ClampZoom(oldZoom);
    newZoom = ClampZoom(newZoom);
    double at = cursor;
    double free = client - picture * oldZoom;
    double point = free > 0 ? (at - free / 2) / oldZoom : (scroll + at) / oldZoom;
    point = std::clamp(point, 0.0, static_cast<double>(std::max(0, picture)));
    if (ZoomedExtent(picture, newZoom) <= client) return 0;
    int position = Round(point * newZoom - at);
    return std::clamp(position, 0, ZoomedExtent(picture, newZoom));
}

std::string ThumbnailFolder(std::string_view cacheFolder) {
    return std::string(cacheFolder) + "Thumbs";
}

std::string ThumbnailPath(std::string_view cacheFolder, std::string_view fileName, int right, int bottom) {
    char size[32];
    std::snprintf(size, sizeof size, "(%dx%d).jpg", right, bottom);
    return Bounded(ThumbnailFolder(cacheFolder) + "\\" + std::string(fileName) + size);
}

std::string PicturePath(std::string_view pictureFolder, std::string_view fileName) {
    return Bounded(std::string(pictureFolder) + std::string(fileName));
}

const char* PictureFormatName(int32_t type) {
    return type >= 0 && type < kFormatCount ? kFormatNames[type] : kNoPreview;
}

std::string PreviewCaption(int32_t type, int width, int height) {
    if (type < 0 || type >= kFormatCount) return std::string("\n") + kNoPreview;
    char caption[128];
    std::snprintf(caption, sizeof caption, "\n%s\r\n%d x %d", kFormatNames[type], width, height);
    return caption;
}

} // namespace vorlan
