// Host texts that the library writes into the files it makes.
#pragma once

// The host's legal notice for the header of a written file: lines of plain
// text, each ending with a line end. product names the product the notice is
// for; null asks for the host's own. The text belongs to the host and stays
// valid for the life of the process.
const char* gen_get_legal_text(const char* product);
