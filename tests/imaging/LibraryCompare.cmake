# The decoders over the picture libraries against ImageMagick's reading of the same files.
# The libraries cut 16-bit samples to their high byte where ImageMagick rounds: 16-bit pictures
# are made from values on the 8-bit grid.
vorlan_image_compare(png-gray-1 pic.png --type 6 -- -colorspace gray -define png:color-type=0 -define png:bit-depth=1 PNG:pic.png)
vorlan_image_compare(png-gray-2 pic.png --type 6 -- -colorspace gray -define png:color-type=0 -define png:bit-depth=2 PNG:pic.png)
vorlan_image_compare(png-gray-4 pic.png --type 6 -- -colorspace gray -define png:color-type=0 -define png:bit-depth=4 PNG:pic.png)
vorlan_image_compare(png-gray-8 pic.png --type 6 -- -colorspace gray -define png:color-type=0 -define png:bit-depth=8 PNG:pic.png)
vorlan_image_compare(png-gray-16 pic.png --type 6 -- -colorspace gray -define png:color-type=0 -channel RGBA -fx "round(u*255)/255" +channel -depth 16 PNG:pic.png)
vorlan_image_compare(png-palette-1 pic.png --type 6 -- -colors 2 -define png:color-type=3 -define png:bit-depth=1 PNG:pic.png)
vorlan_image_compare(png-palette-2 pic.png --type 6 -- -colors 4 -define png:color-type=3 -define png:bit-depth=2 PNG:pic.png)
vorlan_image_compare(png-palette-4 pic.png --type 6 -- -colors 16 -define png:color-type=3 -define png:bit-depth=4 PNG:pic.png)
vorlan_image_compare(png-palette-8 pic.png --type 6 -- -colors 200 -define png:color-type=3 PNG:pic.png)
vorlan_image_compare(png-rgb-8 pic.png --type 6 -- -define png:color-type=2 PNG24:pic.png)
vorlan_image_compare(png-rgb-16 pic.png --type 6 -- -define png:color-type=2 -channel RGBA -fx "round(u*255)/255" +channel -depth 16 PNG48:pic.png)
vorlan_image_compare(png-gray-alpha-8 pic.png --type 6 -- -colorspace gray -alpha set -channel A -fx "i/w" +channel -define png:color-type=4 -depth 8 PNG:pic.png)
vorlan_image_compare(png-gray-alpha-16 pic.png --type 6 -- -colorspace gray -alpha set -channel A -fx "i/w" +channel -define png:color-type=4 -channel RGBA -fx "round(u*255)/255" +channel -depth 16 PNG:pic.png)
vorlan_image_compare(png-rgba-8 pic.png --type 6 -- -alpha set -channel A -fx "j/h" +channel -depth 8 PNG32:pic.png)
vorlan_image_compare(png-rgba-16 pic.png --type 6 -- -alpha set -channel A -fx "j/h" +channel -channel RGBA -fx "round(u*255)/255" +channel -depth 16 PNG64:pic.png)
vorlan_image_compare(png-interlaced pic.png --type 6 -- -interlace PNG PNG24:pic.png)
vorlan_image_compare(png-interlaced-palette pic.png --type 6 -- -interlace PNG -colors 16 -define png:color-type=3 -define png:bit-depth=4 PNG:pic.png)
vorlan_image_compare(png-phys pic.png --type 6 --dpi 96x96 -- -units PixelsPerCentimeter -density 37.8 PNG24:pic.png)
vorlan_image_compare(tiff pic.tif --type 4 -- -compress None -depth 8 TIFF:pic.tif)
vorlan_image_compare(tiff-lzw pic.tif --type 4 -- -compress LZW -depth 8 TIFF:pic.tif)
vorlan_image_compare(tiff-deflate pic.tif --type 4 -- -compress Zip -depth 8 TIFF:pic.tif)
vorlan_image_compare(tiff-jpeg pic.tif --type 4 -- -compress JPEG -quality 90 -depth 8 TIFF:pic.tif)
vorlan_image_compare(tiff-gray pic.tif --type 4 -- -colorspace gray -depth 8 TIFF:pic.tif)
vorlan_image_compare(tiff-palette-4 pic.tif --type 4 -- -colors 16 -type palette -depth 4 -depth 8 TIFF:pic.tif)
vorlan_image_compare(tiff-gray-2 pic.tif --type 4 -- -colorspace gray -depth 2 TIFF:pic.tif)
vorlan_image_compare(tiff-1 pic.tif --type 4 -- -monochrome TIFF:pic.tif)
vorlan_image_compare(tiff-rgba-tiled pic.tif --type 4 -- -alpha set -channel A -fx "i/w" +channel -depth 8 -define tiff:tile-geometry=16x16 TIFF:pic.tif)
vorlan_image_compare(tiff-rgba pic.tif --type 4 -- -alpha set -channel A -fx "i/w" +channel -depth 8 TIFF:pic.tif)
vorlan_image_compare(tiff-cm pic.tif --type 4 --dpi 254x254 -- -units PixelsPerCentimeter -density 100 -depth 8 TIFF:pic.tif)
vorlan_image_compare(gif pic.gif --type 12 -- GIF:pic.gif)
vorlan_image_compare(gif-interlaced pic.gif --type 12 -- -interlace GIF GIF:pic.gif)

# JPEG against the reference programs of the same library build (only the Windows trees
# build them; the host tree's libjpeg is Debian's).
if(VORLAN_WINE AND VORLAN_DJPEG)
  list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " emulator)
  foreach(variant "read;-quality;90;-sampling-factor;2x2" "read-444;-quality;90;-sampling-factor;1x1"
                  "read-gray;-colorspace;gray" "read-progressive;-interlace;JPEG" "write" "cmyk")
    list(GET variant 0 name)
    list(REMOVE_AT variant 0)
    set(mode read)
    if(name STREQUAL "write" OR name STREQUAL "cmyk")
      set(mode ${name})
    endif()
    add_test(NAME imaging.compare.jpeg-${name}
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/jpeg-compare ${CMAKE_CURRENT_BINARY_DIR}/compare jpeg-${name}
                     ${mode} ${variant})
    set_tests_properties(imaging.compare.jpeg-${name} PROPERTIES
      ENVIRONMENT "IMG_DECODE=${emulator} $<TARGET_FILE:img_decode>;DJPEG=${emulator} ${VORLAN_DJPEG};CJPEG=${emulator} ${VORLAN_CJPEG}"
      LABELS imagemagick FIXTURES_REQUIRED wine)
  endforeach()
endif()
