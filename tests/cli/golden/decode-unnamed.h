/*
 * pointillo table: lines=1 rows=40
 * layout: scan=rows,band=0,bits=msb,word=8,endian=big,pad=line,short=low
 * row after row from the top, each from the left; 8-bit words, first dot in bit 7; each line starts a word; a short last word in the low bits; a lit dot is 1
 * face: read back from standard input
 * options: none
 * 1 glyphs of 5 bytes, index: none
 * made by: pointillo decode standard input
 */
#ifndef POINTILLO_FONT_H
#define POINTILLO_FONT_H

#define FONT_WIDTH 40
#define FONT_HEIGHT 1
#define FONT_BYTES 5
#define FONT_COUNT 1

const unsigned char code font[1][5] = {
    /*  */
    {0x81,0xB1,0x55,0x08,0xFF},
};

#endif
