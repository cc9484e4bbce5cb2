/* The throughput reference of the benchmark: a naive tally of a VCD file.
   Reads the file with fread in large blocks, splits it into lines and counts,
   per identifier code, the value lines that name it (a scalar "1!" or a
   vector or real "b1010 !"), in an open-addressing hash table keyed by the
   code text. Prints the number of codes, value changes and timestamps. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#define BLOCK_SIZE (1 << 20)

struct slot {
    char *code; /* null when free */
    size_t length;
    unsigned long count;
};

static struct slot *slots;
static size_t slot_count = 1024; /* a power of two */
static size_t used_slots;

static void *checked(void *block)
{
    if (block == NULL) {
        fputs("vcd_tally: out of memory\n", stderr);
        exit(2);
    }
    return block;
}

static size_t hash_of(const char *text, size_t length)
{
    size_t hash = 2166136261u; /* FNV-1a */
    for (size_t i = 0; i < length; ++i)
        hash = (hash ^ (unsigned char)text[i]) * 16777619u;
    return hash;
}

static struct slot *find_slot(struct slot *table, size_t size, const char *code, size_t length)
{
    size_t i = hash_of(code, length) & (size - 1);
    while (table[i].code != NULL && (table[i].length != length || memcmp(table[i].code, code, length) != 0))
        i = (i + 1) & (size - 1);
    return &table[i];
}

static void grow(void)
{
    size_t size = slot_count * 2;
    struct slot *table = checked(calloc(size, sizeof *table));
    for (size_t i = 0; i < slot_count; ++i)
        if (slots[i].code != NULL)
            *find_slot(table, size, slots[i].code, slots[i].length) = slots[i];
    free(slots);
    slots = table;
    slot_count = size;
}

static void count_change(const char *code, size_t length)
{
    struct slot *slot = find_slot(slots, slot_count, code, length);
    if (slot->code == NULL) {
        slot->code = checked(malloc(length));
        memcpy(slot->code, code, length);
        slot->length = length;
        if (++used_slots * 2 > slot_count) {
            grow();
            slot = find_slot(slots, slot_count, code, length);
        }
    }
    ++slot->count;
}

static unsigned long changes, timestamps;

/* One line without its line end. */
static void tally_line(const char *line, size_t length)
{
    while (length > 0 && (line[length - 1] == '\r' || line[length - 1] == ' ' || line[length - 1] == '\t'))
        --length;
    if (length < 2)
        return;
    switch (line[0]) {
    case '#':
        ++timestamps;
        return;
    case '0': case '1': case 'x': case 'X': case 'z': case 'Z':
        ++changes;
        count_change(line + 1, length - 1);
        return;
    case 'b': case 'B': case 'r': case 'R': {
        const char *space = memchr(line, ' ', length);
        if (space == NULL)
            return;
        ++changes;
        count_change(space + 1, (size_t)(line + length - space - 1));
        return;
    }
    default:
        return;
    }
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fputs("usage: vcd_tally FILE.vcd\n", stderr);
        return 2;
    }
    FILE *file = fopen(argv[1], "rb");
    if (file == NULL) {
        perror(argv[1]);
        return 1;
    }
    slots = checked(calloc(slot_count, sizeof *slots));
    /* A line that crosses a block end is carried to the front of the buffer. */
    char *buffer = checked(malloc(BLOCK_SIZE));
    size_t capacity = BLOCK_SIZE, kept = 0, read;
    while ((read = fread(buffer + kept, 1, capacity - kept, file)) > 0) {
        const char *at = buffer, *end = buffer + kept + read;
        const char *line_end;
        while ((line_end = memchr(at, '\n', (size_t)(end - at))) != NULL) {
            tally_line(at, (size_t)(line_end - at));
            at = line_end + 1;
        }
        kept = (size_t)(end - at);
        memmove(buffer, at, kept);
        if (kept == capacity) {
            capacity *= 2;
            buffer = checked(realloc(buffer, capacity));
        }
    }
    tally_line(buffer, kept);
    fclose(file);
    printf("%zu codes, %lu value changes, %lu timestamps\n", used_slots, changes, timestamps);
    return 0;
}
