/* What the stand-in companions share: they record what they receive in files
   of the current directory, where the test reads it back. */
#ifndef ZENTAVO_TEST_RECORD_H
#define ZENTAVO_TEST_RECORD_H

#include <stddef.h>

/* Appends one line to "companion.log". */
void ZtLog(const char* Format, ...) __attribute__((format(printf, 1, 2)));
/* Writes Size bytes to FileName, replacing it. */
void ZtSaveBytes(const char* FileName, const void* Data, size_t Size);
/* The whole file, zero-terminated, from malloc; null when it is missing. */
char* ZtReadFile(const char* FileName, size_t* Size);
/* Whether FileName exists. */
int ZtFileExists(const char* FileName);

/* The answer of this call of Export from "<Export>.script": line N for the
   Nth call (counted in "<Export>.calls"), the last line once the script has
   run out. 0 when there is no script. */
int ZtScriptAnswer(const char* Export, char* Answer, size_t AnswerSize);

#endif
