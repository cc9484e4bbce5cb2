// Reference host legal notice: the few lines that head the files the library
// writes for it.
#include "host/gen.h"

const char* gen_get_legal_text(const char*)
{
    return "Written by the putil reference host.\n"
           "This file is provided as is, without warranty of any kind; you may use,\n"
           "copy and change it freely.\n";
}
