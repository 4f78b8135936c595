// A script that uses every instruction, operand form, directive and table of the text form.
#pragma once

inline constexpr const char kEverythingScript[] = R"(; every opcode, form and table
.equ BASE, 16
.sound bgm01, "bgm01.ogg", bgm
.sound se01, "se01.wav", se
.sound "ka0001", "ka0001.ogg", voice
.sound odd, "odd.wav", -3
.graphic bg01, "bg01.cmp", 0, 0, 0
.graphic ch01, "ch01.cmp", 3, 120, -40, key
.graphic "背景", "bg02.cmp", 1, 5, 6, 7
.global counter, counter, int
.global title, titleptr, text
.data
counter: .int 0
table:   .int 1, 2, 3, -4
.saved
flags:   .byte 1, 2, 255, -1
name:    .str "こんにちは、世界"
.endsaved
titleptr: .ptr name
raw:     .str "tab\there \"quoted\" \x81"
         .zero 3
.block main
    .vartable
    .var here, loc1, int
    .line 10
    mov r1, r2
    mov r1, [r2]
    mov [r3], r4
    mov [r3], [r4]
    mov r5, #BASE
    mov r5, #-1
    mov r5, [counter]
    mov [r6], #0x12345678
    mov [r6], [table]
    mov [counter], r7
    mov [counter], [r7]
    mov [counter], #5
    mov [counter], [table]
    .line 11
    add r1, #1
    sub r1, #1
    mul r1, #3
    div r1, #2
    mod r1, #2
    cmp r1, #0
    xor r1, r1
    elem r1, #table
    eq r1, r2
    ne r1, r2
    ge r1, r2
    le r1, r2
    gt r1, r2
    lt r1, r2
    and r1, r2
    or r1, r2
    cmp2 r1, r2
    .noline
again:
    jz again
    jnz done
    jmp done
    nop
    clrflags
    setx
    setz
    setp
    clrx
    clrz
    clrp
    .line 12
    host 2, 1
    cmd 2, 0, "テキスト", name
    cmd 5, 0, =30
    cmd 0, 1, "sub"
    cmd 2, 6
    cmd 0, 10, loc2, =3, =100, =200
done:
    ret
    ret2
    .local
loc1: .int 7
loc2: .ptr loctext
loctext: .str "here"
    .endlocal
.block sub, resident
    .linetable
    mov r0, #1
    .linerec 40, 0, 5
    .linerec 41, 2, 3
    ret
.block "ブロック", 9
    .vartable
    .linetable
    .byte 0xA1, 2, 1, 0, 0, 0
    .byte 0x41, 0, 0, 0, 0
    ret
)";
