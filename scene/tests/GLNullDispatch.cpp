#include "GLNullDispatch.h"

#include <type_traits>

namespace Scene::Testing {
namespace {

template <typename TFunction> struct TNothing;

template <typename TResult, typename... TArguments> struct TNothing<TResult (*)(TArguments...)>
{
    static TResult Call(TArguments...)
    {
        if constexpr (!std::is_void_v<TResult>)
            return TResult{};
    }
};

TNullGLCounters GCounters;

GLuint NullGenLists(GLsizei Range)
{
    static GLuint Next = 1;
    const GLuint First = Next;
    Next += static_cast<GLuint>(Range);
    return First;
}

void NullNewList(GLuint, GLenum)
{
    ++GCounters.ListCompiles;
}

void NullCallList(GLuint)
{
    ++GCounters.ListCalls;
}

void NullMultMatrixf(const GLfloat*)
{
    ++GCounters.MatrixMultiplies;
}

void NullGetFloatv(GLenum, GLfloat* Values)
{
    for (int I = 0; I < 16; ++I)
        Values[I] = I % 5 == 0 ? 1.0f : 0.0f;
}

GLUquadric* NullNewQuadric()
{
    static char Handle;
    return reinterpret_cast<GLUquadric*>(&Handle);
}

TGLDispatch MakeTable()
{
    TGLDispatch Table;
#define ZENTAVO_NULL_ENTRY(Name) Table.Name = &TNothing<decltype(&::Name)>::Call;
    ZENTAVO_ALL_GL_FUNCTIONS(ZENTAVO_NULL_ENTRY)
#undef ZENTAVO_NULL_ENTRY
    Table.glGenLists = &NullGenLists;
    Table.glNewList = &NullNewList;
    Table.glCallList = &NullCallList;
    Table.glMultMatrixf = &NullMultMatrixf;
    Table.glGetFloatv = &NullGetFloatv;
    Table.gluNewQuadric = &NullNewQuadric;
    return Table;
}

} // namespace

const TGLDispatch& NullGLDispatch()
{
    static const TGLDispatch Table = MakeTable();
    return Table;
}

TNullGLCounters& NullGLCounters()
{
    return GCounters;
}

} // namespace Scene::Testing
