#include "Record.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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

int ZtScriptAnswer(const char* Export, char* Answer, size_t AnswerSize)
{
    char ScriptName[96];
    char CountName[96];
    snprintf(ScriptName, sizeof ScriptName, "%s.script", Export);
    snprintf(CountName, sizeof CountName, "%s.calls", Export);
    char* Script = ZtReadFile(ScriptName, NULL);
    if (Script == NULL)
        return 0;
    char* Count = ZtReadFile(CountName, NULL);
    const long Call = Count != NULL ? strtol(Count, NULL, 10) : 0;
    free(Count);
    FILE* Counter = fopen(CountName, "w");
    if (Counter != NULL) {
        fprintf(Counter, "%ld", Call + 1);
        fclose(Counter);
    }
    /* Line Call of the script; past its end the last line again. */
    const char* Line = Script;
    for (long Index = 0; Index < Call; ++Index) {
        const char* Next = strchr(Line, '\n');
        if (Next == NULL || Next[1] == '\0')
            break;
        Line = Next + 1;
    }
    size_t Length = strcspn(Line, "\r\n");
    if (Length >= AnswerSize)
        Length = AnswerSize - 1;
    memcpy(Answer, Line, Length);
    Answer[Length] = '\0';
    free(Script);
    return 1;
}
