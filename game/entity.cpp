#include "game/entity.h"

#include <algorithm>

TEntity::TEntity()
    : direction(0.0f), EntityID(0), Static(false), Health(0), Status(STATUS_ALIVE), IsEnemy(false)
{
    // A fresh wave meets sphere tests before the frame gives it real spheres;
    // a zero radius at the origin keeps those tests from reporting phantom hits.
    BSphere.Radius = 0.0f;
}

void TEntity::CalculateBSphere()
{
    BSphere.Center = Position;
    BSphere.Radius = 7.0f;
}

TEntityList::TEntityList() : TotalEntities(1), Entity(new TEntity[1]) {}

TEntityList::TEntityList(int TotalEnt)
    : TotalEntities(std::max(TotalEnt, -1) + 1), Entity(new TEntity[TotalEntities])
{
}

// A list owns its array; a local one (a test's) must not leak it.
TEntityList::~TEntityList()
{
    delete[] Entity;
}

void TEntityList::Set(int te)
{
    if (te < 0) // a negative count would be an impossible array size
        te = 0;
    delete[] Entity;
    TotalEntities = te;
    Entity = new TEntity[te];
    for (int i = 0; i < te; ++i)
        Entity[i].IsEnemy = true;
}

void TEntityList::AddEntity()
{
    TEntity* grown = new TEntity[TotalEntities + 1];
    std::copy(Entity, Entity + TotalEntities, grown);
    delete[] Entity;
    Entity = grown;
    ++TotalEntities;
}

void TEntityList::ClearEntities()
{
    delete[] Entity;
    Entity = new TEntity[0];
    TotalEntities = 0;
}

void TEntityList::ReBuildData()
{
    // The spheres are the only data derived from the entities; bring them in
    // line with where the entities stand now.
    for (int i = 0; i < TotalEntities; ++i)
        Entity[i].CalculateBSphere();
}

int TEntityList::CountLiving() const
{
    int living = 0;
    for (int i = 0; i < TotalEntities; ++i)
        living += Entity[i].IsAlive() ? 1 : 0;
    return living;
}
