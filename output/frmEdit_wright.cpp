// The picture's twins of the shape and frame drawing: the bitmap export
// burns the objects into the map with them.
#include "editor/frmEdit.h"
#include "output/shapedraw.h"

void frmEdit::subWright_ShapeBox(platform::PictureBox& picture, const platform::ShapeElement& shape, float x1,
                                 float y1, float x2, float y2)
{
    mdlShapeDraw::subDraw_ShapeBox(picture, mdlShapeDraw::ShapeLook::of(shape), x1, y1, x2, y2);
}

void frmEdit::subWright_ShapeCircle(platform::PictureBox& picture, const platform::ShapeElement& shape, float cx,
                                    float cy, float r, float aspect)
{
    mdlShapeDraw::subDraw_ShapeCircle(picture, mdlShapeDraw::ShapeLook::of(shape), cx, cy, r, aspect);
}

void frmEdit::subWright_LabelFrame(platform::PictureBox& picture, float x1, float y1, float x2, float y2)
{
    picture.DrawWidth = 1;
    picture.DrawStyle = 0;
    mdlShapeDraw::subDraw_LabelFrame(picture, x1, y1, x2, y2, mdlShapeDraw::kFrameOuterPicture);
}
