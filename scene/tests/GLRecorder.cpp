#include "GLRecorder.h"

#include <cmath>
#include <stdexcept>
#include <type_traits>

namespace Scene::Testing {
namespace {

TGLRecorder* GActive = nullptr;

struct TNames
{
#define ZENTAVO_RECORDER_NAME(Name) static constexpr char Name[] = #Name;
    ZENTAVO_ALL_GL_FUNCTIONS(ZENTAVO_RECORDER_NAME)
#undef ZENTAVO_RECORDER_NAME
};

template <typename T> void Append(std::vector<double>& Args, T Value)
{
    if constexpr (std::is_arithmetic_v<T>)
        Args.push_back(static_cast<double>(Value));
}

// Records the call with its numeric arguments; pointers are left out.
template <typename TFunction, const char* Name> struct TRecord;

template <typename TResult, typename... TArguments, const char* Name>
struct TRecord<TResult (*)(TArguments...), Name>
{
    static TResult Call(TArguments... Arguments)
    {
        TGLCall& Entry = TGLRecorder::Active().Log(Name);
        (Append(Entry.Args, Arguments), ...);
        if constexpr (!std::is_void_v<TResult>)
            return TResult{};
    }
};

void AppendArray(TGLCall& Entry, const float* Values, int Count)
{
    for (int I = 0; I < Count; ++I)
        Entry.Args.push_back(Values[I]);
}

TMatrix FromArray(const float* Values)
{
    TMatrix M;
    for (int I = 0; I < 16; ++I)
        M.Data()[I] = Values[I];
    return M;
}

int ValueCount(GLenum Name)
{
    switch (Name) {
    case GL_SHININESS:
    case GL_SPOT_EXPONENT:
    case GL_SPOT_CUTOFF:
    case GL_CONSTANT_ATTENUATION:
    case GL_LINEAR_ATTENUATION:
    case GL_QUADRATIC_ATTENUATION:
    case GL_FOG_DENSITY:
    case GL_FOG_START:
    case GL_FOG_END:
    case GL_FOG_MODE:
        return 1;
    case GL_SPOT_DIRECTION:
        return 3;
    default:
        return 4;
    }
}

// Functions whose effect or answer matters, written out.
TGLRecorder& R()
{
    return TGLRecorder::Active();
}

bool Executes()
{
    return !R().Compiling();
}

void RecMatrixMode(GLenum Mode)
{
    R().Log("glMatrixMode").Args = {double(Mode)};
    if (Executes())
        R().MatrixMode(Mode);
}

void RecLoadIdentity()
{
    R().Log("glLoadIdentity");
    if (Executes())
        R().Current() = IdentityMatrix();
}

void RecLoadMatrixf(const GLfloat* M)
{
    AppendArray(R().Log("glLoadMatrixf"), M, 16);
    if (Executes())
        R().Current() = FromArray(M);
}

void RecMultMatrixf(const GLfloat* M)
{
    AppendArray(R().Log("glMultMatrixf"), M, 16);
    if (Executes())
        R().Multiply(FromArray(M));
}

void RecPushMatrix()
{
    R().Log("glPushMatrix");
    if (Executes())
        R().Push();
}

void RecPopMatrix()
{
    R().Log("glPopMatrix");
    if (Executes())
        R().Pop();
}

void RecTranslatef(GLfloat X, GLfloat Y, GLfloat Z)
{
    R().Log("glTranslatef").Args = {X, Y, Z};
    if (Executes())
        R().Multiply(TranslationMatrix(TVector{X, Y, Z, 1}));
}

void RecScalef(GLfloat X, GLfloat Y, GLfloat Z)
{
    R().Log("glScalef").Args = {X, Y, Z};
    if (Executes())
        R().Multiply(ScaleMatrix(TVector{X, Y, Z, 0}));
}

void RecRotatef(GLfloat Angle, GLfloat X, GLfloat Y, GLfloat Z)
{
    R().Log("glRotatef").Args = {Angle, X, Y, Z};
    if (Executes())
        // The design's matrix turns row vectors by minus its angle.
        R().Multiply(CreateRotationMatrix(VectorNormalize(TVector{X, Y, Z, 0}), -DegreesToRadians(Angle)));
}

TMatrix FrustumMatrix(double L, double Ri, double B, double T, double N, double F)
{
    TMatrix M;
    M[0] = TVector{float(2 * N / (Ri - L)), 0, 0, 0};
    M[1] = TVector{0, float(2 * N / (T - B)), 0, 0};
    M[2] = TVector{float((Ri + L) / (Ri - L)), float((T + B) / (T - B)), float(-(F + N) / (F - N)), -1};
    M[3] = TVector{0, 0, float(-2 * F * N / (F - N)), 0};
    return M;
}

TMatrix OrthoMatrix(double L, double Ri, double B, double T, double N, double F)
{
    TMatrix M;
    M[0] = TVector{float(2 / (Ri - L)), 0, 0, 0};
    M[1] = TVector{0, float(2 / (T - B)), 0, 0};
    M[2] = TVector{0, 0, float(-2 / (F - N)), 0};
    M[3] = TVector{float(-(Ri + L) / (Ri - L)), float(-(T + B) / (T - B)), float(-(F + N) / (F - N)), 1};
    return M;
}

void RecFrustum(GLdouble L, GLdouble Ri, GLdouble B, GLdouble T, GLdouble N, GLdouble F)
{
    R().Log("glFrustum").Args = {L, Ri, B, T, N, F};
    if (Executes())
        R().Multiply(FrustumMatrix(L, Ri, B, T, N, F));
}

void RecOrtho(GLdouble L, GLdouble Ri, GLdouble B, GLdouble T, GLdouble N, GLdouble F)
{
    R().Log("glOrtho").Args = {L, Ri, B, T, N, F};
    if (Executes())
        R().Multiply(OrthoMatrix(L, Ri, B, T, N, F));
}

void RecOrtho2D(GLdouble L, GLdouble Ri, GLdouble B, GLdouble T)
{
    R().Log("gluOrtho2D").Args = {L, Ri, B, T};
    if (Executes())
        R().Multiply(OrthoMatrix(L, Ri, B, T, -1, 1));
}

void RecPerspective(GLdouble FieldOfView, GLdouble Aspect, GLdouble N, GLdouble F)
{
    R().Log("gluPerspective").Args = {FieldOfView, Aspect, N, F};
    if (Executes()) {
        const double Top = N * std::tan(FieldOfView * 3.14159265358979323846 / 360.0);
        R().Multiply(FrustumMatrix(-Top * Aspect, Top * Aspect, -Top, Top, N, F));
    }
}

void RecLookAt(GLdouble EyeX, GLdouble EyeY, GLdouble EyeZ, GLdouble CenterX, GLdouble CenterY,
               GLdouble CenterZ, GLdouble UpX, GLdouble UpY, GLdouble UpZ)
{
    R().Log("gluLookAt").Args = {EyeX, EyeY, EyeZ, CenterX, CenterY, CenterZ, UpX, UpY, UpZ};
    if (!Executes())
        return;
    const TVector Eye{float(EyeX), float(EyeY), float(EyeZ), 1};
    const TVector Forward =
        VectorNormalize(TVector{float(CenterX - EyeX), float(CenterY - EyeY), float(CenterZ - EyeZ), 0});
    const TVector Side =
        VectorNormalize(VectorCrossProduct(Forward, TVector{float(UpX), float(UpY), float(UpZ), 0}));
    const TVector Up = VectorCrossProduct(Side, Forward);
    TMatrix M = IdentityMatrix();
    M[0] = TVector{Side.X, Up.X, -Forward.X, 0};
    M[1] = TVector{Side.Y, Up.Y, -Forward.Y, 0};
    M[2] = TVector{Side.Z, Up.Z, -Forward.Z, 0};
    R().Multiply(MatrixMultiply(TranslationMatrix(VectorNegate(Eye)), M));
}

void RecEnable(GLenum Capability)
{
    R().Log("glEnable").Args = {double(Capability)};
    if (Executes())
        R().SetEnabled(Capability, true);
}

void RecDisable(GLenum Capability)
{
    R().Log("glDisable").Args = {double(Capability)};
    if (Executes())
        R().SetEnabled(Capability, false);
}

GLboolean RecIsEnabled(GLenum Capability)
{
    R().Log("glIsEnabled").Args = {double(Capability)};
    return R().IsEnabled(Capability) ? GL_TRUE : GL_FALSE;
}

void RecGetFloatv(GLenum Name, GLfloat* Values)
{
    R().Log("glGetFloatv").Args = {double(Name)};
    if (Name == GL_MODELVIEW_MATRIX || Name == GL_PROJECTION_MATRIX) {
        const TMatrix& M = Name == GL_MODELVIEW_MATRIX ? R().ModelView() : R().Projection();
        for (int I = 0; I < 16; ++I)
            Values[I] = M.Data()[I];
        return;
    }
    Values[0] = static_cast<float>(R().Integer(Name));
}

void RecGetIntegerv(GLenum Name, GLint* Values)
{
    R().Log("glGetIntegerv").Args = {double(Name)};
    Values[0] = R().Integer(Name);
}

void RecGetBooleanv(GLenum Name, GLboolean* Values)
{
    R().Log("glGetBooleanv").Args = {double(Name)};
    Values[0] = R().IsEnabled(Name) ? GL_TRUE : GL_FALSE;
}

const GLubyte* RecGetString(GLenum Name)
{
    R().Log("glGetString").Args = {double(Name)};
    return R().String(Name);
}

GLenum RecGetError()
{
    R().Log("glGetError");
    return R().TakeError();
}

GLuint RecGenLists(GLsizei Range)
{
    R().Log("glGenLists").Args = {double(Range)};
    return R().GenLists(Range);
}

void RecNewList(GLuint List, GLenum Mode)
{
    R().Log("glNewList").Args = {double(List), double(Mode)};
    R().NewList(List);
}

void RecEndList()
{
    R().EndList();
    R().Log("glEndList");
}

GLboolean RecIsList(GLuint List)
{
    R().Log("glIsList").Args = {double(List)};
    return List != 0 ? GL_TRUE : GL_FALSE;
}

void RecGenTextures(GLsizei Count, GLuint* Names)
{
    R().Log("glGenTextures").Args = {double(Count)};
    R().GenTextures(Count, Names);
}

void RecDeleteTextures(GLsizei Count, const GLuint* Names)
{
    TGLCall& Entry = R().Log("glDeleteTextures");
    Entry.Args.push_back(Count);
    for (GLsizei I = 0; I < Count; ++I)
        Entry.Args.push_back(Names[I]);
}

void RecVertex3f(GLfloat X, GLfloat Y, GLfloat Z)
{
    R().Log("glVertex3f").Args = {X, Y, Z};
    if (Executes())
        R().AddVertex(X, Y, Z);
}

void RecVertex3fv(const GLfloat* V)
{
    AppendArray(R().Log("glVertex3fv"), V, 3);
    if (Executes())
        R().AddVertex(V[0], V[1], V[2]);
}

void RecVertex2f(GLfloat X, GLfloat Y)
{
    R().Log("glVertex2f").Args = {X, Y};
    if (Executes())
        R().AddVertex(X, Y, 0);
}

void RecNormal3fv(const GLfloat* V)
{
    AppendArray(R().Log("glNormal3fv"), V, 3);
}

void RecColor4fv(const GLfloat* V)
{
    AppendArray(R().Log("glColor4fv"), V, 4);
}

void RecMaterialfv(GLenum Face, GLenum Name, const GLfloat* Values)
{
    TGLCall& Entry = R().Log("glMaterialfv");
    Entry.Args = {double(Face), double(Name)};
    AppendArray(Entry, Values, ValueCount(Name));
}

void RecLightfv(GLenum Light, GLenum Name, const GLfloat* Values)
{
    TGLCall& Entry = R().Log("glLightfv");
    Entry.Args = {double(Light), double(Name)};
    AppendArray(Entry, Values, ValueCount(Name));
}

void RecLightModelfv(GLenum Name, const GLfloat* Values)
{
    TGLCall& Entry = R().Log("glLightModelfv");
    Entry.Args = {double(Name)};
    AppendArray(Entry, Values, Name == GL_LIGHT_MODEL_AMBIENT ? 4 : 1);
}

void RecFogfv(GLenum Name, const GLfloat* Values)
{
    TGLCall& Entry = R().Log("glFogfv");
    Entry.Args = {double(Name)};
    AppendArray(Entry, Values, ValueCount(Name));
}

void RecTexEnvfv(GLenum Target, GLenum Name, const GLfloat* Values)
{
    TGLCall& Entry = R().Log("glTexEnvfv");
    Entry.Args = {double(Target), double(Name)};
    AppendArray(Entry, Values, Name == GL_TEXTURE_ENV_COLOR ? 4 : 1);
}

GLUquadric* RecNewQuadric()
{
    R().Log("gluNewQuadric");
    // Never dereferenced: the recorder only needs distinct non-null handles.
    static char Quadrics[64];
    static int Next = 0;
    return reinterpret_cast<GLUquadric*>(&Quadrics[Next++ % 64]);
}

const GLubyte* RecErrorString(GLenum Error)
{
    R().Log("gluErrorString").Args = {double(Error)};
    static const GLubyte Text[] = "recorded error";
    return Text;
}

} // namespace

TGLRecorder::TGLRecorder()
{
    if (GActive)
        throw std::logic_error("only one TGLRecorder at a time");
#define ZENTAVO_RECORDER_ENTRY(Name) FTable.Name = &TRecord<decltype(&::Name), TNames::Name>::Call;
    ZENTAVO_ALL_GL_FUNCTIONS(ZENTAVO_RECORDER_ENTRY)
#undef ZENTAVO_RECORDER_ENTRY
    FTable.glMatrixMode = &RecMatrixMode;
    FTable.glLoadIdentity = &RecLoadIdentity;
    FTable.glLoadMatrixf = &RecLoadMatrixf;
    FTable.glMultMatrixf = &RecMultMatrixf;
    FTable.glPushMatrix = &RecPushMatrix;
    FTable.glPopMatrix = &RecPopMatrix;
    FTable.glTranslatef = &RecTranslatef;
    FTable.glScalef = &RecScalef;
    FTable.glRotatef = &RecRotatef;
    FTable.glFrustum = &RecFrustum;
    FTable.glOrtho = &RecOrtho;
    FTable.gluOrtho2D = &RecOrtho2D;
    FTable.gluPerspective = &RecPerspective;
    FTable.gluLookAt = &RecLookAt;
    FTable.glEnable = &RecEnable;
    FTable.glDisable = &RecDisable;
    FTable.glIsEnabled = &RecIsEnabled;
    FTable.glGetFloatv = &RecGetFloatv;
    FTable.glGetIntegerv = &RecGetIntegerv;
    FTable.glGetBooleanv = &RecGetBooleanv;
    FTable.glGetString = &RecGetString;
    FTable.glGetError = &RecGetError;
    FTable.glGenLists = &RecGenLists;
    FTable.glNewList = &RecNewList;
    FTable.glEndList = &RecEndList;
    FTable.glIsList = &RecIsList;
    FTable.glGenTextures = &RecGenTextures;
    FTable.glDeleteTextures = &RecDeleteTextures;
    FTable.glVertex3f = &RecVertex3f;
    FTable.glVertex3fv = &RecVertex3fv;
    FTable.glVertex2f = &RecVertex2f;
    FTable.glNormal3fv = &RecNormal3fv;
    FTable.glColor4fv = &RecColor4fv;
    FTable.glMaterialfv = &RecMaterialfv;
    FTable.glLightfv = &RecLightfv;
    FTable.glLightModelfv = &RecLightModelfv;
    FTable.glFogfv = &RecFogfv;
    FTable.glTexEnvfv = &RecTexEnvfv;
    FTable.gluNewQuadric = &RecNewQuadric;
    FTable.gluErrorString = &RecErrorString;

    for (auto& Stack : FStacks)
        Stack.push_back(IdentityMatrix());
    FEnabled[GL_DITHER] = true;
    FIntegers[GL_MAX_LIGHTS] = 8;
    FIntegers[GL_MAX_TEXTURE_SIZE] = 2048;
    FStrings[GL_VERSION] = "1.4 recorder";
    FStrings[GL_VENDOR] = "Zentavo";
    FStrings[GL_RENDERER] = "recorder";
    FStrings[GL_EXTENSIONS] = "";
    GActive = this;
    FPrevious = SetGLDispatch(&FTable);
}

TGLRecorder::~TGLRecorder()
{
    SetGLDispatch(FPrevious);
    GActive = nullptr;
}

TGLRecorder& TGLRecorder::Active()
{
    if (!GActive)
        throw std::logic_error("no TGLRecorder is active");
    return *GActive;
}

TGLCall& TGLRecorder::Log(const char* Name)
{
    FCalls.push_back(TGLCall{Name, {}, FCompiling, FCompiling ? IdentityMatrix() : ModelView()});
    return FCalls.back();
}

std::vector<TGLPrimitive> Primitives(const std::vector<TGLCall>& Calls)
{
    std::vector<TGLPrimitive> Result;
    TVector Normal{0, 0, 1, 0};
    TVector TexCoord{0, 0, 0, 1};
    bool Inside = false;
    for (const TGLCall& Call : Calls) {
        const auto& A = Call.Args;
        if (Call.Name == "glBegin") {
            Result.push_back(TGLPrimitive{static_cast<GLenum>(A[0]), {}});
            Inside = true;
        } else if (Call.Name == "glEnd")
            Inside = false;
        else if (Call.Name == "glNormal3f" || Call.Name == "glNormal3fv")
            Normal = TVector{float(A[0]), float(A[1]), float(A[2]), 0};
        else if (Call.Name == "glTexCoord2f")
            TexCoord = TVector{float(A[0]), float(A[1]), 0, 1};
        else if (Inside &&
                 (Call.Name == "glVertex3f" || Call.Name == "glVertex3fv" || Call.Name == "glVertex2f"))
            Result.back().Vertices.push_back(TGLRecordedVertex{
                TVector{float(A[0]), float(A[1]), A.size() > 2 ? float(A[2]) : 0.0f, 1}, Normal, TexCoord});
    }
    return Result;
}

void TGLRecorder::Clear()
{
    FCalls.clear();
    FEyeVertices.clear();
}

std::vector<TGLCall> TGLRecorder::CallsNamed(std::string_view Name) const
{
    std::vector<TGLCall> Result;
    for (const TGLCall& Call : FCalls)
        if (Call.Name == Name)
            Result.push_back(Call);
    return Result;
}

std::size_t TGLRecorder::Count(std::string_view Name) const
{
    std::size_t Result = 0;
    for (const TGLCall& Call : FCalls)
        Result += Call.Name == Name;
    return Result;
}

std::vector<std::string> TGLRecorder::Names() const
{
    std::vector<std::string> Result;
    Result.reserve(FCalls.size());
    for (const TGLCall& Call : FCalls)
        Result.push_back(Call.Name);
    return Result;
}

std::vector<TGLCall> TGLRecorder::ListCalls(GLuint List) const
{
    std::vector<TGLCall> Result;
    for (const TGLCall& Call : FCalls)
        if (Call.List == List && Call.Name != "glNewList")
            Result.push_back(Call);
    return Result;
}

bool TGLRecorder::IsEnabled(GLenum Capability) const
{
    const auto Found = FEnabled.find(Capability);
    return Found != FEnabled.end() && Found->second;
}

GLuint TGLRecorder::GenLists(GLsizei Range)
{
    const GLuint First = FNextList;
    FNextList += static_cast<GLuint>(Range);
    return First;
}

void TGLRecorder::GenTextures(GLsizei Count, GLuint* Names)
{
    for (GLsizei I = 0; I < Count; ++I)
        Names[I] = FNextTexture++;
}

void TGLRecorder::MatrixMode(GLenum Mode)
{
    FMatrixMode = Mode == GL_PROJECTION ? 1 : Mode == GL_TEXTURE ? 2 : 0;
}

void TGLRecorder::Pop()
{
    if (FStacks[FMatrixMode].size() <= 1)
        throw std::logic_error("glPopMatrix on an empty stack");
    FStacks[FMatrixMode].pop_back();
}

void TGLRecorder::Multiply(const TMatrix& M)
{
    Current() = MatrixMultiply(M, Current());
}

void TGLRecorder::AddVertex(float X, float Y, float Z)
{
    FEyeVertices.push_back(VectorTransform(TVector{X, Y, Z, 1}, ModelView()));
}

GLint TGLRecorder::Integer(GLenum Name) const
{
    const auto Found = FIntegers.find(Name);
    return Found == FIntegers.end() ? 0 : Found->second;
}

const GLubyte* TGLRecorder::String(GLenum Name) const
{
    const auto Found = FStrings.find(Name);
    return Found == FStrings.end() ? nullptr : reinterpret_cast<const GLubyte*>(Found->second.c_str());
}

GLenum TGLRecorder::TakeError()
{
    const GLenum Error = FError;
    FError = GL_NO_ERROR;
    return Error;
}

} // namespace Scene::Testing
