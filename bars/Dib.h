// CDIB: a device-independent bitmap held in one memory block (40-byte header, colour table,
// pixel rows stored bottom-up), with a table of row starts counted from the top of the picture.
// The colour picker draws its brightness bar from an 8-bit one whose palette it rewrites.
#pragma once

#include <windows.h>

#include <vector>

class CDIB {
public:
    CDIB() = default;
    // Takes a copy of a packed bitmap in global memory when it is one this class can hold: a
    // 40-byte (or longer, of the same layout) header, uncompressed, below 15 or exactly 24 bits
    // per pixel, a colour count that fits the depth, and header, colours and rows inside the
    // block. Anything else leaves the object empty.
    explicit CDIB(HGLOBAL packed);
    ~CDIB() { Free(); }
    CDIB(const CDIB&) = delete;
    CDIB& operator=(const CDIB&) = delete;

    // A new uncompressed bitmap, everything zero; false (and empty) for a size below 1.
    bool Create(int width, int height, int bitsPerPixel);
    // Fills the whole colour table from red, green, blue triples (count triples; the rest stay).
    void SetPalette(const BYTE* triples, int count);
    // The first byte of a row, row 0 being the top row; null outside the picture.
    BYTE* GetRow(int index) const;
    // Copies (sourceX, sourceY, width, height) of the picture, rows counted from the top, to
    // (x, y) of the device.
    void Draw(HDC dc, int x, int y, int width, int height, int sourceX, int sourceY) const;
    void Free();

    bool IsEmpty() const { return m_block.empty(); }
    int GetWidth() const { return m_width; }
    int GetHeight() const { return m_height; }
    int GetStride() const { return m_stride; }
    int GetBitsPerPixel() const { return m_bitsPerPixel; }
    const BITMAPINFOHEADER* GetHeader() const { return m_header; }
    const RGBQUAD* GetColorTable() const { return m_colors; }
    const BYTE* GetBits() const { return m_bits; }

    // Entries of the colour table for a depth: 1 -> 2, 4 -> 16, 8 -> 256, others none.
    static int ColorTableSize(int bitsPerPixel);

private:
    void Allocate(int width, int height, int bitsPerPixel);

    BYTE* m_bits = nullptr;
    BITMAPINFOHEADER* m_header = nullptr;
    RGBQUAD* m_colors = nullptr;
    std::vector<BYTE> m_block;
    std::vector<BYTE*> m_rows;
    int m_height = 0;
    int m_stride = 0;
    int m_width = 0;
    int m_bitsPerPixel = 0;
};
