// The steps the loudspeaker commands share: the prompt and the selection,
// a picked point, and one loudspeaker drawn again.
#pragma once

#include <vector>

#include "framework/model/graphic_object.h"

// The command's prompt (and status text), then the user's selection: how
// many objects were selected (0 also when the selection was cancelled).
int SelectAfterPrompt(const char* prompt, const char* text = "");
// SelectAfterPrompt, then the selected loudspeakers in list order.
std::vector<GraphicObject*> SelectSpeakersAfter(const char* prompt, const char* text = "");
// A point after the status text `text`: false when the input was ended or
// cancelled instead.
bool PickCommandPoint(const char* text, ObjectVertex& point);
// The object drawn again, in the pick colour while it is selected.
void RedrawSpeaker(GraphicObject* object);
