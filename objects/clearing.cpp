// Emptying whole kinds of drawing objects at once. Each array is left as a
// new window has it: element 0 alone, hidden, its other properties as they
// were, so the next object of the kind goes into element 0. The database is
// not touched; the stored rows change with the next save.

#include "editor/frmEdit.h"

using platform::ElementArray;

namespace {

// Destroys elements 1 to the upper bound taken before the loop.
template <class T>
void unloadAbove0(ElementArray<T>& elements)
{
    const int last = elements.UBound();
    for (int k = 1; k <= last; ++k) {
        if (elements.exists(k))
            elements.Unload(k);
    }
}

template <class T>
void clear(ElementArray<T>& elements)
{
    unloadAbove0(elements);
    elements(0).Visible = false;
}

}  // namespace

// Distances, routes and areas with their lines and markers. The hatching
// records and cache files stay: the callers that need them gone clear them.
void frmEdit::subAllClr_MesObj()
{
    lineHojoSave(0).Visible = false;
    lineDsSave(0).Visible = false;
    shpSnpo(0).Visible = false;
    lblKyori(0).Visible = false;
    lblKeiroS(0).Visible = false;
    lblMensekiS(0).Visible = false;
    linePS(0).Visible = false;
    unloadAbove0(lineHojoSave);
    unloadAbove0(lineDsSave);
    unloadAbove0(shpSnpo);
    unloadAbove0(lblKyori);
    unloadAbove0(lblKeiroS);
    unloadAbove0(lblMensekiS);
    unloadAbove0(linePS);
}

void frmEdit::subAllClr_Hikidashi()
{
    clear(lineHikidashi);
}

void frmEdit::subAllClr_Shape()
{
    clear(shpShape);
}

// The numbering of new text labels starts again; its header and footer stay.
void frmEdit::subAllClr_Moji()
{
    clear(lblMoji);
    intMojiNo = 0;
}

void frmEdit::subAllClr_KeiIdo()
{
    clear(lblKeiIdoS);
    intKeiIdoNo = 0;
}
