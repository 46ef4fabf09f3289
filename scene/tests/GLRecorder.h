#pragma once

#include "scene/GLDispatch.h"
#include "scene/VectorGeometry.h"

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace Scene::Testing {

// One OpenGL/GLU call: its name and its arguments in order, numbers as
// doubles; arrays passed by pointer are appended element by element for the
// calls that take them (matrices, colours, material and light values).
struct TGLCall
{
    std::string Name;
    std::vector<double> Args;
    // The display list being compiled when the call was made, 0 outside one.
    GLuint List = 0;
    // The model-view matrix when the call was executed (outside lists).
    TMatrix ModelView = IdentityMatrix();
};

struct TGLRecordedVertex
{
    TVector Position;
    TVector Normal;
    TVector TexCoord;
};

// The vertices between one glBegin and its glEnd, each with the normal and
// texture coordinate current when it was given.
struct TGLPrimitive
{
    GLenum Mode = 0;
    std::vector<TGLRecordedVertex> Vertices;
};

// Rebuilds the primitives of a call sequence (glVertex2f/3f/3fv,
// glNormal3f/3fv, glTexCoord2f).
std::vector<TGLPrimitive> Primitives(const std::vector<TGLCall>& Calls);

// A dispatch table that records every call instead of drawing, and keeps
// enough state to answer queries: the matrix stacks (GL_COMPILE calls are
// recorded but not executed), enabled capabilities, list and texture names.
// Constructing one makes it the current table; destroying it restores the
// previous one. One recorder at a time.
class TGLRecorder
{
public:
    TGLRecorder();
    ~TGLRecorder();
    TGLRecorder(const TGLRecorder&) = delete;
    TGLRecorder& operator=(const TGLRecorder&) = delete;

    const std::vector<TGLCall>& Calls() const { return FCalls; }
    void Clear();
    std::vector<TGLCall> CallsNamed(std::string_view Name) const;
    std::size_t Count(std::string_view Name) const;
    // The names in call order, for sequence checks.
    std::vector<std::string> Names() const;
    // The calls compiled into a list (between glNewList and glEndList).
    std::vector<TGLCall> ListCalls(GLuint List) const;

    const TMatrix& ModelView() const { return FStacks[0].back(); }
    const TMatrix& Projection() const { return FStacks[1].back(); }
    std::size_t ModelViewDepth() const { return FStacks[0].size(); }
    // Vertices given outside display lists, times the model-view matrix of the moment.
    const std::vector<TVector>& EyeVertices() const { return FEyeVertices; }
    bool IsEnabled(GLenum Capability) const;

    // Answers of glGetIntegerv and glGetString.
    void SetInteger(GLenum Name, GLint Value) { FIntegers[Name] = Value; }
    void SetString(GLenum Name, std::string Value) { FStrings[Name] = std::move(Value); }
    void SetError(GLenum Error) { FError = Error; }

    const TGLDispatch& Table() const { return FTable; }

    // Used by the recording functions.
    static TGLRecorder& Active();
    TGLCall& Log(const char* Name);
    bool Compiling() const { return FCompiling != 0; }
    void NewList(GLuint List) { FCompiling = List; }
    void EndList() { FCompiling = 0; }
    GLuint GenLists(GLsizei Range);
    void GenTextures(GLsizei Count, GLuint* Names);
    TMatrix& Current() { return FStacks[FMatrixMode].back(); }
    void MatrixMode(GLenum Mode);
    void Push() { FStacks[FMatrixMode].push_back(FStacks[FMatrixMode].back()); }
    void Pop();
    // M times the current matrix, as glMultMatrixf does.
    void Multiply(const TMatrix& M);
    void SetEnabled(GLenum Capability, bool Enabled) { FEnabled[Capability] = Enabled; }
    void AddVertex(float X, float Y, float Z);
    GLint Integer(GLenum Name) const;
    const GLubyte* String(GLenum Name) const;
    GLenum TakeError();

private:
    TGLDispatch FTable;
    const TGLDispatch* FPrevious;
    std::vector<TGLCall> FCalls;
    GLuint FCompiling = 0;
    GLuint FNextList = 1;
    GLuint FNextTexture = 1;
    int FMatrixMode = 0;
    std::vector<TMatrix> FStacks[3];
    std::vector<TVector> FEyeVertices;
    std::map<GLenum, bool> FEnabled;
    std::map<GLenum, GLint> FIntegers;
    std::map<GLenum, std::string> FStrings;
    GLenum FError = GL_NO_ERROR;
};

} // namespace Scene::Testing
