/* Prints the system's code page 936 as the native tests' table: one line per first byte
   ("00" for the single bytes), each holding, for every second byte from 0x40 to 0xFE (every
   byte for line "00"), the UTF-16 unit in four hex digits or "...." when the bytes are not
   a character. Run under Wine by scripts/make_cp936_table.sh. */
#include <windows.h>
#include <stdio.h>

static void printUnit(const char* bytes, int length) {
    WCHAR units[4];
    if (MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes, length, units, 4) == 1)
        printf("%04X", units[0]);
    else
        printf("....");
}

int main(void) {
    printf("    \"00");
    for (int byte = 0; byte < 256; byte++) {
        char single = (char)byte;
        printUnit(&single, 1);
    }
    printf("\",\n");
    for (int lead = 0x81; lead <= 0xFE; lead++) {
        printf("    \"%02X", lead);
        for (int trail = 0x40; trail <= 0xFE; trail++) {
            char pair[2] = {(char)lead, (char)trail};
            printUnit(pair, 2);
        }
        printf("\",\n");
    }
    return 0;
}
