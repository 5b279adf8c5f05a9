#pragma once

// Everything the toolkit offers, in one include.
#include "toolkit/BSphere.h"
#include "toolkit/Camera.h"
#include "toolkit/File.h"
#include "toolkit/Font.h"
#include "toolkit/FramePacer.h"
#include "toolkit/Frustum.h"
#include "toolkit/Image.h"
#include "toolkit/Logger.h"
#include "toolkit/MD2.h"
#include "toolkit/Math.h"
#include "toolkit/Mixer.h"
#include "toolkit/SphereMap.h"
#include "toolkit/Texture.h"
#include "toolkit/Wave.h"
#include "toolkit/Window.h"
