; pointillo table: lines=16 rows=16
; layout: scan=rows,band=0,bits=msb,word=8,endian=big,pad=line,short=low
; row after row from the top, each from the left; 8-bit words, first dot in bit 7; each line starts a word; a short last word in the low bits; a lit dot is 1
; face: GNU Unifont .hex (/usr/share/unifont/unifont.hex)
; options: --font-file /usr/share/unifont/unifont.hex --face-index 0 --pixel-size 16 --fit font --lines 16 --rows 16
; 3 glyphs of 32 bytes, index: unicode
; made by: pointillo  A英 --format asm --origin 1000h --name big --font-file /usr/share/unifont/unifont.hex
BIG_WIDTH	EQU	16
BIG_HEIGHT	EQU	16
BIG_BYTES	EQU	32
BIG_COUNT	EQU	3
	ORG	01000H
big:
; U+0020
	DB 00H,00H,00H,00H,00H,00H,00H,00H,00H,00H,00H,00H,00H,00H,00H,00H
	DB 00H,00H,00H,00H,00H,00H,00H,00H,00H,00H,00H,00H,00H,00H,00H,00H
; "A" U+0041
	DB 00H,00H,00H,00H,00H,00H,00H,00H,18H,00H,24H,00H,24H,00H,42H,00H
	DB 42H,00H,7EH,00H,42H,00H,42H,00H,42H,00H,42H,00H,00H,00H,00H,00H
; "英" U+82F1
	DB 08H,20H,08H,20H,0FFH,0FEH,08H,20H,01H,00H,01H,00H,1FH,0F0H,11H,10H
	DB 11H,10H,11H,10H,0FFH,0FEH,02H,80H,04H,40H,08H,20H,30H,18H,0C0H,06H
big_index:
	DW 00020H,00041H,082F1H
