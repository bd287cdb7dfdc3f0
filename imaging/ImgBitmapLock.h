#pragma once
// Holds a bitmap's lock for one scope, so a decode that throws leaves the count as it was.

#include "imaging/ImgBitmap.h"

class ImgBitmapLock {
  public:
    ImgBitmapLock(ImgBitmap* bitmap, bool forReading, bool forWriting) : m_pBitmap(bitmap) {
        m_pBitmap->Lock(forReading, forWriting);
    }
    ~ImgBitmapLock() { m_pBitmap->Unlock(); }
    ImgBitmapLock(const ImgBitmapLock&) = delete;
    ImgBitmapLock& operator=(const ImgBitmapLock&) = delete;

  private:
    ImgBitmap* m_pBitmap;
};
