/* The reference that tallyvex-scan's whole path is measured against: Hyperscan scanning a text for the
 * phrases of a definitions file, as one set of caseless literals in block mode, every match reported.
 *
 *     hyperscan-reference DEFINITIONS TEXT [SCANS]
 *
 * compiles the phrases once, allocates the scratch space once, scans the text SCANS times (default 15) and
 * prints one JSON object: the processor time of each scan in milliseconds, their median and the number of
 * matches. Compiling is left out: it is Hyperscan's counterpart of loading the definitions, which the
 * whole-process measurement subtracts as well. Built only where libhyperscan-dev is installed; never part
 * of the product. */
#include <hs/hs.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

struct Buffer
{
    char* bytes;
    size_t size;
};

static struct Buffer readFile(const char* path)
{
    struct Buffer buffer = {NULL, 0};
    FILE* file = fopen(path, "rb");
    if (!file || fseek(file, 0, SEEK_END) != 0) {
        fprintf(stderr, "hyperscan-reference: cannot read %s\n", path);
        exit(66);
    }
    const long size = ftell(file);
    rewind(file);
    buffer.bytes = malloc(size > 0 ? (size_t)size : 1);
    buffer.size = size > 0 ? (size_t)size : 0;
    if (!buffer.bytes || fread(buffer.bytes, 1, buffer.size, file) != buffer.size) {
        fprintf(stderr, "hyperscan-reference: cannot read %s\n", path);
        exit(74);
    }
    fclose(file);
    return buffer;
}

/* Where the line after the one ending at `lineEnd` (its CR, or the end of the file) begins. */
static char* nextLine(char* lineEnd, const char* end)
{
    if (lineEnd < end)
        ++lineEnd;
    if (lineEnd < end && *lineEnd == '\n')
        ++lineEnd;
    return lineEnd;
}

/* A definitions file: a header line, then lines of phrase TAB weight, each ending at CR or CR LF. Lines
 * without a TAB are skipped, and spaces around a phrase are not part of it, as when tallyvex-scan loads the
 * file. The phrases point into the buffer. */
static unsigned readPhrases(struct Buffer definitions, const char*** phrases, size_t** lengths)
{
    size_t capacity = 1024;
    unsigned count = 0;
    *phrases = malloc(capacity * sizeof **phrases);
    *lengths = malloc(capacity * sizeof **lengths);
    const char* const end = definitions.bytes + definitions.size;
    char* lineEnd = memchr(definitions.bytes, '\r', definitions.size);
    for (char* line = lineEnd ? nextLine(lineEnd, end) : NULL; line && line < end; line = nextLine(lineEnd, end)) {
        lineEnd = memchr(line, '\r', (size_t)(end - line));
        if (!lineEnd)
            lineEnd = (char*)end;
        const char* first = line;
        const char* last = memchr(line, '\t', (size_t)(lineEnd - line));
        if (!last)
            continue;
        while (first < last && *first == ' ')
            ++first;
        while (last > first && last[-1] == ' ')
            --last;
        if (last == first)
            continue;
        if (count == capacity) {
            capacity *= 2;
            *phrases = realloc(*phrases, capacity * sizeof **phrases);
            *lengths = realloc(*lengths, capacity * sizeof **lengths);
        }
        (*phrases)[count] = first;
        (*lengths)[count] = (size_t)(last - first);
        ++count;
    }
    return count;
}

static double processMilliseconds(void)
{
    struct timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return (double)now.tv_sec * 1e3 + (double)now.tv_nsec / 1e6;
}

static int countMatch(unsigned id, unsigned long long from, unsigned long long to, unsigned flags, void* context)
{
    (void)id, (void)from, (void)to, (void)flags;
    ++*(unsigned long long*)context;
    return 0;
}

static int ascending(const void* a, const void* b)
{
    const double x = *(const double*)a;
    const double y = *(const double*)b;
    return (x > y) - (x < y);
}

int main(int argc, char* argv[])
{
    if (argc < 3 || argc > 4) {
        fprintf(stderr, "Usage: %s DEFINITIONS TEXT [SCANS]\n", argv[0]);
        return 64;
    }
    const int scans = argc == 4 ? atoi(argv[3]) : 15;
    if (scans < 1) {
        fprintf(stderr, "hyperscan-reference: SCANS must be a positive number\n");
        return 64;
    }
    const struct Buffer definitions = readFile(argv[1]);
    const struct Buffer text = readFile(argv[2]);
    const char** phrases = NULL;
    size_t* lengths = NULL;
    const unsigned count = readPhrases(definitions, &phrases, &lengths);
    unsigned* flags = malloc((count ? count : 1) * sizeof *flags);
    unsigned* ids = malloc((count ? count : 1) * sizeof *ids);
    for (unsigned i = 0; i < count; ++i) {
        flags[i] = HS_FLAG_CASELESS;
        ids[i] = i;
    }

    hs_database_t* database = NULL;
    hs_compile_error_t* error = NULL;
    if (hs_compile_lit_multi(phrases, flags, ids, lengths, count, HS_MODE_BLOCK, NULL, &database, &error)
        != HS_SUCCESS) {
        fprintf(stderr, "hyperscan-reference: %s\n", error->message);
        return 65;
    }
    hs_scratch_t* scratch = NULL;
    if (hs_alloc_scratch(database, &scratch) != HS_SUCCESS) {
        fprintf(stderr, "hyperscan-reference: cannot allocate the scratch space\n");
        return 70;
    }

    double* times = malloc((size_t)scans * sizeof *times);
    unsigned long long matches = 0;
    for (int i = 0; i < scans; ++i) {
        matches = 0;
        const double start = processMilliseconds();
        if (hs_scan(database, text.bytes, (unsigned)text.size, 0, scratch, countMatch, &matches) != HS_SUCCESS) {
            fprintf(stderr, "hyperscan-reference: the scan failed\n");
            return 70;
        }
        times[i] = processMilliseconds() - start;
    }

    printf("{\"phrases\": %u, \"text_bytes\": %zu, \"matches\": %llu, \"scan_ms\": [", count, text.size, matches);
    for (int i = 0; i < scans; ++i)
        printf("%s%.3f", i ? ", " : "", times[i]);
    qsort(times, (size_t)scans, sizeof *times, ascending);
    printf("], \"median_ms\": %.3f}\n", times[scans / 2]);
    return 0;
}
