// The factory interface of the InfoTech storage component: it opens a compiled
// help file as a read-only root storage. Tarnwick carries its own implementation
// (the platform's is not dependable), reached through CreateITStorage instead of
// the class registry.
#pragma once

#include "storage/ComTypes.h"

#include <cstdint>

struct ILockBytes;

struct ITS_Control_Data {
    unsigned int cdwControlData;
    unsigned int adwControlData[1];
};
using PITS_Control_Data = ITS_Control_Data*;

enum ECompactionLev { COMPACT_DATA = 0, COMPACT_DATA_AND_PATH = 1 };

// {5D02926A-212E-11D0-9DF9-00A0C922E6EC}
inline constexpr CLSID CLSID_ITStorage = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
// {88CC31DE-27AB-11D0-9DF9-00A0C922E6EC}
inline constexpr IID IID_IITStorage = {0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

struct IITStorage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR* name, DWORD mode, DWORD reserved,
                                                       IStorage** root) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes* bytes, DWORD mode, DWORD reserved,
                                                                   IStorage** root) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes* bytes) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR* name, IStorage* priority, DWORD mode,
                                                     SNB exclude, DWORD reserved, IStorage** root) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgOpenStorageOnILockBytes(ILockBytes* bytes, IStorage* priority, DWORD mode,
                                                                 SNB exclude, DWORD reserved, IStorage** root) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgSetTimes(const WCHAR* name, const FILETIME* created,
                                                  const FILETIME* accessed, const FILETIME* modified) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetControlData(PITS_Control_Data controlData) = 0;
    virtual HRESULT STDMETHODCALLTYPE DefaultControlData(PITS_Control_Data* controlData) = 0;
    virtual HRESULT STDMETHODCALLTYPE Compact(const WCHAR* name, ECompactionLev level) = 0;
};

// Creates the component's factory with one reference held by the caller.
HRESULT CreateITStorage(IITStorage** factory);

// Tarnwick's own interface beside IStorage on every storage the component returns: where a
// stream's bytes lie, so that a caller copying many streams can take them in the order of the
// data and decode each compressed frame once, whatever the order of the directory; and, told
// that order, decode ahead of it on several threads.
// {6C0F3B52-8E1A-4D7B-9A35-2F4E1C7D9B10}
inline constexpr IID IID_IStreamPlacement = {0x6c0f3b52, 0x8e1a, 0x4d7b, {0x9a, 0x35, 0x2f, 0x4e, 0x1c, 0x7d, 0x9b, 0x10}};

struct StreamPlace {
    std::uint64_t section = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

struct IStreamPlacement : IUnknown {
    // Where the stream `name` of this storage lies.
    virtual HRESULT STDMETHODCALLTYPE GetStreamPlacement(const OLECHAR* name, StreamPlace* place) = 0;
    // The streams at `places` are about to be read whole, in this order, from any storage of the
    // same file: compressed data may be decoded ahead on up to `threads` threads, in memory
    // bounded whatever the file. Replaces any earlier announcement; 0 places end it.
    virtual HRESULT STDMETHODCALLTYPE AnnounceReads(const StreamPlace* places, ULONG count, ULONG threads) = 0;
};

// Tarnwick's own interface beside IEnumSTATSTG on the component's enumerators: where the stream
// last returned by Next lies, so that a walk learns each stream's place without looking its name
// up again.
// {3B7E9C41-5D2A-4F86-B1C0-8A4D6E2F7C93}
inline constexpr IID IID_IElementPlacement = {0x3b7e9c41, 0x5d2a, 0x4f86, {0xb1, 0xc0, 0x8a, 0x4d, 0x6e, 0x2f, 0x7c, 0x93}};

struct IElementPlacement : IUnknown {
    // Fails when nothing was returned yet or the element is a storage.
    virtual HRESULT STDMETHODCALLTYPE GetLastElementPlacement(StreamPlace* place) = 0;
};

// Tarnwick's own interface beside IStorage on every storage the component returns: what the
// container says about itself, for a report on the file. The facts the component uses to read
// the file, not a second reading of them.
// {3B8E6F21-5C4D-4A90-8E7B-1D2C3F4A5B60}
inline constexpr IID IID_IArchiveFacts = {0x3b8e6f21, 0x5c4d, 0x4a90, {0x8e, 0x7b, 0x1d, 0x2c, 0x3f, 0x4a, 0x5b, 0x60}};

struct ArchiveFacts {
    std::uint32_t itsfVersion = 0;
    std::uint32_t headerLanguage = 0;      // the LCID in the ITSF header
    bool hasCompressedSection = false;     // a "Content" stream of the compressed section is listed
    std::uint64_t compressedSize = 0;      // its length in the file
    bool controlDataUsable = false;        // the LZX window and reset interval below were read
    std::uint64_t windowSize = 0;          // bytes
    std::uint64_t resetInterval = 0;       // bytes
    bool sectionReadable = false;          // the reset table is usable too: the size below is known
    std::uint64_t uncompressedSize = 0;
    // The container's own streams ("::DataSpace/..."), which no storage lists.
    std::uint64_t dataSpaceStreams = 0;
    std::uint64_t dataSpaceBytes = 0;
};

struct IArchiveFacts : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetArchiveFacts(ArchiveFacts* facts) = 0;
};

// Tarnwick's own interface beside IStream and IStorage on every stream and storage the component
// returns: why the last open or read of a stream of the same file failed, so that a caller can say
// what is damaged rather than only that something is; and what is wrong with the compressed
// section as a whole, which the component reads around as far as it can.
// {3E8A7C21-5B94-4F0E-8D62-A1C74B9E0F35}
inline constexpr IID IID_IDamageReport = {0x3e8a7c21, 0x5b94, 0x4f0e, {0x8d, 0x62, 0xa1, 0xc7, 0x4b, 0x9e, 0x0f, 0x35}};

enum class StreamDamage : std::uint32_t {
    None,
    UnknownSection,     // the directory names a content section the file does not have
    SectionUnusable,    // the compressed section's control data is missing or unusable
    OutsideSection,     // the stream reaches past the end of its section
    DataMissing,        // its compressed bytes lie past the end of the file
    FrameTooLong,       // the reset table gives a frame more compressed bytes than an encoder writes
    InputEnded,         // a frame's compressed bytes ran out before its output was complete
    BadBlockHeader,     // an unknown block type, an empty block or one running past its reset interval
    BadTree,            // code lengths that make no prefix code
    BadCode,            // bits that start no code of the block's trees
    MatchOutsideWindow, // a match reaching before its reset point or further than the window
    MatchPastBlock,     // a match longer than what is left of its block
    WrongFrameEnd,      // a frame's output ended elsewhere than its compressed bytes do
    NonzeroPadding,     // a frame's last symbol ended elsewhere than the encoder's: the bits after it are not zeros
};

struct DamageReport {
    StreamDamage damage = StreamDamage::None;
    std::uint64_t frame = 0; // the compressed frame it was found in, for the damages of frames
};

// Bits of GetSectionState.
inline constexpr ULONG kSectionResetTableUnusable = 1; // read from the section's start instead
inline constexpr ULONG kSectionContentCut = 2;         // the file ends inside the compressed data
inline constexpr ULONG kSectionUnusable = 4;           // the compressed section cannot be read at all

struct IDamageReport : IUnknown {
    // Why the last failed open or read of a stream of this file failed (None when none has).
    virtual HRESULT STDMETHODCALLTYPE GetLastDamage(DamageReport* report) = 0;
    // The kSection... bits that hold for the file's compressed section, 0 when it is sound or absent.
    virtual HRESULT STDMETHODCALLTYPE GetSectionState(ULONG* state) = 0;
};
