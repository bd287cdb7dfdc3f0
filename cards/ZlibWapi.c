/* The gzip reading functions of the zlib the program links, exported under their own names
   with the system's calling convention, as a library of this name has them. */
#include <windows.h>
#include <zlib.h>

gzFile WINAPI ZwGzOpen(const char* path, const char* mode) {
    return gzopen(path, mode);
}

int WINAPI ZwGzRead(gzFile file, voidp buffer, unsigned length) {
    return gzread(file, buffer, length);
}

int WINAPI ZwGzClose(gzFile file) {
    return gzclose(file);
}
