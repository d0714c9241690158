#pragma once

// OpenGL entry points, loaded through SDL from the current context so the
// same code runs on GLX and EGL (the offscreen driver).

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

namespace QV::Gfx {

#define QV_GL_FUNCTIONS(X)                                                                                  \
    X(glGetError) X(glGetString) X(glGetIntegerv) X(glEnable) X(glDisable) X(glViewport) X(glScissor)     \
    X(glDepthRange) X(glClear) X(glClearColor) X(glClearDepth) X(glClearStencil) X(glColorMask)           \
    X(glDepthMask) X(glDepthFunc) X(glStencilMask) X(glStencilFunc) X(glStencilOp) X(glBlendFunc)         \
    X(glCullFace) X(glFrontFace) X(glPolygonMode) X(glPixelStorei) X(glReadPixels) X(glFinish) X(glFlush)            \
    X(glGenTextures) X(glDeleteTextures) X(glBindTexture) X(glTexImage2D) X(glTexSubImage2D)              \
    X(glTexParameteri) X(glActiveTexture) X(glCompressedTexImage2D) X(glCompressedTexSubImage2D) X(glGetTexImage) X(glGetCompressedTexImage)          \
    X(glGenBuffers) X(glDeleteBuffers) X(glBindBuffer) X(glBufferData) X(glBufferSubData)                 \
    X(glEnableVertexAttribArray) X(glDisableVertexAttribArray) X(glVertexAttribPointer)                   \
    X(glVertexAttrib4f) X(glDrawArrays) X(glDrawElements) X(glCreateShader) X(glShaderSource)             \
    X(glCompileShader) X(glGetShaderiv) X(glGetShaderInfoLog) X(glDeleteShader) X(glCreateProgram)        \
    X(glAttachShader) X(glBindAttribLocation) X(glLinkProgram) X(glGetProgramiv) X(glGetProgramInfoLog)   \
    X(glUseProgram) X(glDeleteProgram) X(glGetUniformLocation) X(glUniform1i) X(glUniform1f)              \
    X(glUniform4f) X(glUniform4fv) X(glUniform4iv) X(glUniformMatrix4fv) X(glGenFramebuffers)             \
    X(glDeleteFramebuffers) X(glBindFramebuffer) X(glFramebufferTexture2D) X(glFramebufferRenderbuffer)   \
    X(glCheckFramebufferStatus) X(glGenRenderbuffers) X(glDeleteRenderbuffers) X(glBindRenderbuffer)      \
    X(glRenderbufferStorage)

struct GLFunctions {
#define QV_GL_DECLARE(name) decltype(&::name) name = nullptr;
    QV_GL_FUNCTIONS(QV_GL_DECLARE)
#undef QV_GL_DECLARE

    // Loads every entry point of the current context; false (with the first
    // missing name) when one is absent.
    bool load(const char** missing);
};

}  // namespace QV::Gfx
