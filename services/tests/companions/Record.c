#include "Record.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>

void ZtLog(const char* Format, ...)
{
    FILE* File = fopen("companion.log", "a");
    if (File == NULL)
        return;
    va_list Arguments;
    va_start(Arguments, Format);
    vfprintf(File, Format, Arguments);
    va_end(Arguments);
    fputc('\n', File);
    fclose(File);
}

void ZtSaveBytes(const char* FileName, const void* Data, size_t Size)
{
    FILE* File = fopen(FileName, "wb");
    if (File == NULL)
        return;
    fwrite(Data, 1, Size, File);
    fclose(File);
}

char* ZtReadFile(const char* FileName, size_t* Size)
{
    FILE* File = fopen(FileName, "rb");
    if (File == NULL)
        return NULL;
    fseek(File, 0, SEEK_END);
    const long Length = ftell(File);
    fseek(File, 0, SEEK_SET);
    char* Text = malloc(Length + 1);
    const size_t Read = fread(Text, 1, Length, File);
    Text[Read] = '\0';
    fclose(File);
    if (Size != NULL)
        *Size = Read;
    return Text;
}

int ZtFileExists(const char* FileName)
{
    FILE* File = fopen(FileName, "rb");
    if (File == NULL)
        return 0;
    fclose(File);
    return 1;
}
