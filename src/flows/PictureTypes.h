#pragma once

// The picture types the front ends draw and fit on screen: the image model
// (StegFlows::Picture gives the one in work), its rescaled copy, and the fit
// of a picture in a rectangle. The dialogs reach them through the flows.

#include "image/BmpFormat.h"
#include "image/DibImage.h"
#include "image/FitRect.h"
#include "image/ScaledImage.h"
