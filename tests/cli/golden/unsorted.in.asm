; "国" U+56FD
	DB 01H
; "中" U+4E2D
	DB 02H
; "A" U+0041
	DB 03H
