vs.1.1
; Transform in c0..c3; the vertex colour carries the chroma coordinates.
m4x4 oPos, v0, c0
mov oD0, v1
mov oT0, v2
mov oT1, v1
