#include "toolkit/SphereMap.h"

#include "toolkit/platform/GL.h"

namespace TovarToolkit {

void TovarSphereMap::Generate()
{
    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
}

void TovarSphereMap::Activate()
{
    glEnable(GL_TEXTURE_GEN_S);
    glEnable(GL_TEXTURE_GEN_T);
}

void TovarSphereMap::DeActivate()
{
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
}

} // namespace TovarToolkit
