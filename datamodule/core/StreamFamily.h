#pragma once
// The base of every accessor family of TStreamDati (StreamMaps.h,
// StreamTables.h, ...). A family is an empty class that TStreamDati inherits
// publicly; its definitions reach the data module through self(), a cast by
// a fixed offset that the compiler resolves: no virtual call, no pointer kept.
class TStreamDati;

template <class Family>
class TStreamFamily {
public:
    // A family exists only as a part of a data module; a copy of one on its
    // own would reach no module.
    TStreamFamily(const TStreamFamily&) = delete;
    TStreamFamily& operator=(const TStreamFamily&) = delete;

protected:
    TStreamFamily() = default;
    TStreamDati& self() { return static_cast<TStreamDati&>(static_cast<Family&>(*this)); }
    const TStreamDati& self() const { return static_cast<const TStreamDati&>(static_cast<const Family&>(*this)); }
};
