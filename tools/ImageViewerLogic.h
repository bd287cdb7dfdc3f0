#pragma once
// The picture viewer's arithmetic without Windows in it: fitted sizes, zoom and scroll
// positions, thumbnail cache names and the preview caption of the picture dialog.

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlan {

// A drawn picture's place in its target rectangle.
struct ViewerRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// The picture (pictureWidth x pictureHeight) as large as it fits into the target, its aspect
// kept, centred. In floating point: whole-number division gives 0 whenever the target is
// smaller than the picture. False when either has no area: a picture of width or height 0
// counts as none.
bool FitPicture(int targetWidth, int targetHeight, int pictureWidth, int pictureHeight, ViewerRect& out);

// The zoom stays within 1/32 and 32, so a zoomed extent fits a scroll range.
constexpr double kMinZoom = 1.0 / 32.0;
constexpr double kMaxZoom = 32.0;
double ClampZoom(double zoom);

// The picture's extent on one axis at the zoom.
int ZoomedExtent(int picture, double zoom);

// The scroll bar codes, as the system numbers them.
enum ScrollCode : int {
    kScrollLineUp = 0,
    kScrollLineDown = 1,
    kScrollPageUp = 2,
    kScrollPageDown = 3,
    kScrollThumbPosition = 4,
    kScrollThumbTrack = 5,
    kScrollTop = 6,
    kScrollBottom = 7,
};

// The scroll position after a scroll bar message on one axis: lines are 1 pixel, pages the
// client extent; "bottom" (or "right") goes to the unscaled picture extent; the result stays
// between 0 and the zoomed extent. Other codes keep the position.
int ScrollPosition(int code, int position, int track, int client, int picture, double zoom);

// One axis of a zoom at the cursor: the new scroll position that keeps the picture point under
// the cursor where it is. A picture narrower than the client area is drawn centred, so the
// cursor is first taken relative to the picture; a new extent narrower than the client area
// needs no scrolling.
int ZoomScrollPosition(int scroll, int cursor, int client, int picture, double oldZoom, double newZoom);

// "<folder>Thumbs": the cache folder is given with its trailing backslash.
std::string ThumbnailFolder(std::string_view cacheFolder);
// "<folder>Thumbs\<name>(<right>x<bottom>).jpg" for the target rectangle's right and bottom
// edges. Empty when the path would not fit a path buffer: it is refused, never cut.
std::string ThumbnailPath(std::string_view cacheFolder, std::string_view fileName, int right, int bottom);
// The picture folder followed by the file name; empty when it would not fit.
std::string PicturePath(std::string_view pictureFolder, std::string_view fileName);

// The format name the picture dialog shows for a detected picture type (-1: none).
const char* PictureFormatName(int32_t type);
// "\n<format>\r\n<width> x <height>", or "\n<no preview>" for a type outside the table.
std::string PreviewCaption(int32_t type, int width, int height);

} // namespace vorlan
