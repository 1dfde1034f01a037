#include "scan/scanner_program.h"

// The worker program's file, built by the project, assembled into this object as it is.
asm(".section .rodata\n"
    ".balign 16\n"
    ".globl sondrel_scanner_image_begin\n"
    ".hidden sondrel_scanner_image_begin\n"
    ".globl sondrel_scanner_image_end\n"
    ".hidden sondrel_scanner_image_end\n"
    "sondrel_scanner_image_begin:\n"
    ".incbin \"" SONDREL_SCANNER_IMAGE
    "\"\n"
    "sondrel_scanner_image_end:\n"
    ".previous\n");

extern "C" {
extern const char sondrel_scanner_image_begin[];
extern const char sondrel_scanner_image_end[];
}

namespace sondrel {

QByteArray ScannerProgramImage() {
    return QByteArray::fromRawData(sondrel_scanner_image_begin,
                                   sondrel_scanner_image_end - sondrel_scanner_image_begin);
}

}  // namespace sondrel
