/*
 * pointillo table: lines=1 rows=8
 * layout: scan=rows,band=0,bits=msb,word=8,endian=big,pad=line,short=low
 * row after row from the top, each from the left; 8-bit words, first dot in bit 7; each line starts a word; a short last word in the low bits; a lit dot is 1
 * face: read back from standard input
 * options: none
 * 3 glyphs of 1 bytes, index: unicode
 * made by: pointillo decode standard input
 */
#ifndef POINTILLO_FONT_H
#define POINTILLO_FONT_H

#define FONT_WIDTH 8
#define FONT_HEIGHT 1
#define FONT_BYTES 1
#define FONT_COUNT 3

const unsigned char code font[3][1] = {
    /* "A" U+0041 */
    {0x03},
    /* "中" U+4E2D */
    {0x02},
    /* "国" U+56FD */
    {0x01},
};

const unsigned int code font_index[3] = {
    0x0041, 0x4E2D, 0x56FD
};

#endif
