#pragma once

#include "toolkit/BSphere.h"
#include "toolkit/Math.h"

enum TEntity_Status {
    STATUS_DEAD = 0,
    STATUS_ALIVE = 1,
    STATUS_SEARCH = 2,
    STATUS_HUNGRY = 3,
    STATUS_ATTACK = 4,
    STATUS_DEFEND = 5,
    STATUS_PAIN = 6,
    TOTAL_STATUS = 7
};

// One game entity: an enemy while IsEnemy is true, alive while Health > 0.
class TEntity {
public:
    float direction;
    TovarToolkit::TovarVector3f Position;
    int EntityID;
    TovarToolkit::TovarVector3f Velocity;
    TovarToolkit::TovarVector3f Size;
    bool Static;
    int Health;
    TEntity_Status Status;
    bool IsEnemy;
    TovarToolkit::TovarBoundingSphere BSphere;

    TEntity();
    void CalculateBSphere();
    // Only living entities are drawn, moved, hit, counted and in the way.
    bool IsAlive() const { return Health > 0; }
};

// The entities of the current wave, index 0 first. The array is replaced
// whole by Set and never released otherwise.
class TEntityList {
public:
    int TotalEntities;
    TEntity* Entity;

    TEntityList();
    explicit TEntityList(int TotalEnt);
    ~TEntityList();
    TEntityList(const TEntityList&) = delete;
    TEntityList& operator=(const TEntityList&) = delete;

    void Set(int te);
    void AddEntity();
    void ClearEntities();
    void ReBuildData();
    int CountLiving() const;
};
