#pragma once

#include <GL/gl.h>
#include <GL/glu.h>

namespace Scene {

// Every OpenGL and GLU entry point the scene layer calls. Adding one is one
// line here; the table, the system binding and the test recorder all follow
// from this list.
#define ZENTAVO_GL_FUNCTIONS(X)                                                                              \
    X(glActiveTexture)                                                                                       \
    X(glAlphaFunc)                                                                                           \
    X(glBegin)                                                                                               \
    X(glBindTexture)                                                                                         \
    X(glBlendFunc)                                                                                           \
    X(glCallList)                                                                                            \
    X(glClear)                                                                                               \
    X(glClearColor)                                                                                          \
    X(glClearDepth)                                                                                          \
    X(glColor3f)                                                                                             \
    X(glColor3fv)                                                                                            \
    X(glColor4f)                                                                                             \
    X(glColor4fv)                                                                                            \
    X(glColorMask)                                                                                           \
    X(glCullFace)                                                                                            \
    X(glDeleteLists)                                                                                         \
    X(glDeleteTextures)                                                                                      \
    X(glDepthFunc)                                                                                           \
    X(glDepthMask)                                                                                           \
    X(glDepthRange)                                                                                          \
    X(glDisable)                                                                                             \
    X(glEnable)                                                                                              \
    X(glEnd)                                                                                                 \
    X(glEndList)                                                                                             \
    X(glFinish)                                                                                              \
    X(glFlush)                                                                                               \
    X(glFogf)                                                                                                \
    X(glFogfv)                                                                                               \
    X(glFogi)                                                                                                \
    X(glFrontFace)                                                                                           \
    X(glFrustum)                                                                                             \
    X(glGenLists)                                                                                            \
    X(glGenTextures)                                                                                         \
    X(glGetBooleanv)                                                                                         \
    X(glGetError)                                                                                            \
    X(glGetFloatv)                                                                                           \
    X(glGetIntegerv)                                                                                         \
    X(glGetString)                                                                                           \
    X(glGetTexLevelParameteriv)                                                                              \
    X(glGetTexParameteriv)                                                                                   \
    X(glHint)                                                                                                \
    X(glIsEnabled)                                                                                           \
    X(glIsList)                                                                                              \
    X(glIsTexture)                                                                                           \
    X(glLightModelfv)                                                                                        \
    X(glLightModelf)                                                                                         \
    X(glLightModeli)                                                                                         \
    X(glLightf)                                                                                              \
    X(glLightfv)                                                                                             \
    X(glLineStipple)                                                                                         \
    X(glLineWidth)                                                                                           \
    X(glLoadIdentity)                                                                                        \
    X(glLoadMatrixf)                                                                                         \
    X(glMaterialf)                                                                                           \
    X(glMaterialfv)                                                                                          \
    X(glMateriali)                                                                                           \
    X(glMatrixMode)                                                                                          \
    X(glMultMatrixf)                                                                                         \
    X(glNewList)                                                                                             \
    X(glNormal3f)                                                                                            \
    X(glNormal3fv)                                                                                           \
    X(glOrtho)                                                                                               \
    X(glPixelStorei)                                                                                         \
    X(glPointSize)                                                                                           \
    X(glPolygonMode)                                                                                         \
    X(glPopAttrib)                                                                                           \
    X(glPopMatrix)                                                                                           \
    X(glPushAttrib)                                                                                          \
    X(glPushMatrix)                                                                                          \
    X(glRasterPos2f)                                                                                         \
    X(glReadPixels)                                                                                          \
    X(glRotatef)                                                                                             \
    X(glScalef)                                                                                              \
    X(glScissor)                                                                                             \
    X(glShadeModel)                                                                                          \
    X(glTexCoord2f)                                                                                          \
    X(glTexCoord2fv)                                                                                         \
    X(glTexEnvfv)                                                                                            \
    X(glTexEnvi)                                                                                             \
    X(glTexImage2D)                                                                                          \
    X(glTexParameterf)                                                                                       \
    X(glTexParameteri)                                                                                       \
    X(glTexSubImage2D)                                                                                       \
    X(glTranslatef)                                                                                          \
    X(glVertex2f)                                                                                            \
    X(glVertex3f)                                                                                            \
    X(glVertex3fv)                                                                                           \
    X(glViewport)

#define ZENTAVO_GLU_FUNCTIONS(X)                                                                             \
    X(gluBuild2DMipmaps)                                                                                     \
    X(gluCylinder)                                                                                           \
    X(gluDeleteQuadric)                                                                                      \
    X(gluDisk)                                                                                               \
    X(gluErrorString)                                                                                        \
    X(gluLookAt)                                                                                             \
    X(gluNewQuadric)                                                                                         \
    X(gluOrtho2D)                                                                                            \
    X(gluPerspective)                                                                                        \
    X(gluQuadricDrawStyle)                                                                                   \
    X(gluQuadricNormals)                                                                                     \
    X(gluQuadricOrientation)                                                                                 \
    X(gluQuadricTexture)                                                                                     \
    X(gluScaleImage)

#define ZENTAVO_ALL_GL_FUNCTIONS(X) ZENTAVO_GL_FUNCTIONS(X) ZENTAVO_GLU_FUNCTIONS(X)

// A table of the entry points above, with the libraries' own signatures and
// names, so calls read as ordinary OpenGL: GL().glBegin(GL_QUADS).
struct TGLDispatch
{
#define ZENTAVO_GL_DISPATCH_MEMBER(Name) decltype(&::Name) Name = nullptr;
    ZENTAVO_ALL_GL_FUNCTIONS(ZENTAVO_GL_DISPATCH_MEMBER)
#undef ZENTAVO_GL_DISPATCH_MEMBER
};

// The table bound to the real libGL and libGLU.
const TGLDispatch& SystemGLDispatch();

namespace Detail {
extern const TGLDispatch* GCurrentGLDispatch;
}

// The table every scene call goes through.
inline const TGLDispatch& GL()
{
    return *Detail::GCurrentGLDispatch;
}

// Makes Table the current one (nullptr restores the system table) and
// returns the previous one. Only for the window thread, between frames.
const TGLDispatch* SetGLDispatch(const TGLDispatch* Table);

} // namespace Scene
