#include "picture/picturedecode_win32.h"

#include <objbase.h>
#include <wincodec.h>

#include <cstring>
#include <new>

namespace {

struct DecodeJob {
  HWND view;
  std::uint32_t generation;
  std::shared_ptr<std::atomic<std::uint32_t>> latest;
  std::shared_ptr<DecodeMailbox> mailbox;
  PictureKind kind;
  std::vector<std::uint8_t> bytes;
  // Made on the view's thread, where a failed allocation can be told to the
  // user, so that the worker allocates nothing but the pixels.
  std::unique_ptr<DecodedPicture> result;
  bool Stale() const { return latest->load() != generation; }
};

// Rows converted at a time, between which a stale decode gives up.
constexpr UINT kRowsPerSlice = 256;

template <typename T>
void Release(T*& object) {
  if (object != nullptr) object->Release();
  object = nullptr;
}

UINT BitsPerPixelOf(IWICImagingFactory* factory, const WICPixelFormatGUID& format) {
  IWICComponentInfo* info = nullptr;
  IWICPixelFormatInfo* pixelInfo = nullptr;
  UINT bits = 0;
  if (SUCCEEDED(factory->CreateComponentInfo(format, &info)) &&
      SUCCEEDED(info->QueryInterface(IID_IWICPixelFormatInfo, reinterpret_cast<void**>(&pixelInfo)))) {
    pixelInfo->GetBitsPerPixel(&bits);
  }
  Release(pixelInfo);
  Release(info);
  return bits;
}

// An icon file holds several sizes: show the largest. Other kinds show
// their first frame.
HRESULT ChooseFrame(IWICBitmapDecoder* decoder, PictureKind kind, IWICBitmapFrameDecode** frame) {
  UINT count = 0;
  HRESULT hr = decoder->GetFrameCount(&count);
  if (FAILED(hr)) return hr;
  if (count == 0) return WINCODEC_ERR_FRAMEMISSING;
  UINT best = 0;
  if (kind == PictureKind::Ico) {
    std::uint64_t bestArea = 0;
    for (UINT i = 0; i < count; ++i) {
      IWICBitmapFrameDecode* candidate = nullptr;
      UINT w = 0;
      UINT h = 0;
      if (SUCCEEDED(decoder->GetFrame(i, &candidate)) && SUCCEEDED(candidate->GetSize(&w, &h)) &&
          static_cast<std::uint64_t>(w) * h > bestArea) {
        bestArea = static_cast<std::uint64_t>(w) * h;
        best = i;
      }
      Release(candidate);
    }
  }
  return decoder->GetFrame(best, frame);
}

HRESULT ConvertPixels(const DecodeJob& job, IWICBitmapSource* converted, DecodedPicture* out) {
  const std::uint64_t stride = static_cast<std::uint64_t>(out->width) * 4;
  if (stride * out->height > kMaxDecodedBytes) return WINCODEC_ERR_IMAGESIZEOUTOFRANGE;
  try {
    out->pixels.resize(static_cast<std::size_t>(stride * out->height));
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  for (UINT top = 0; top < out->height; top += kRowsPerSlice) {
    if (job.Stale()) return E_ABORT;
    const UINT rows = out->height - top < kRowsPerSlice ? out->height - top : kRowsPerSlice;
    const WICRect rect = {0, static_cast<INT>(top), static_cast<INT>(out->width), static_cast<INT>(rows)};
    std::uint8_t* first = out->pixels.data() + stride * top;
    const HRESULT hr =
        converted->CopyPixels(&rect, static_cast<UINT>(stride), static_cast<UINT>(stride * rows), first);
    if (FAILED(hr)) return hr;
  }
  for (std::size_t i = 3; i < out->pixels.size() && !out->hasAlpha; i += 4)
    out->hasAlpha = out->pixels[i] != 255;
  return S_OK;
}

HRESULT Decode(IWICImagingFactory* factory, const DecodeJob& job, DecodedPicture* out) {
  IWICStream* stream = nullptr;
  IWICBitmapDecoder* decoder = nullptr;
  IWICBitmapFrameDecode* frame = nullptr;
  IWICFormatConverter* converter = nullptr;
  HRESULT hr = factory->CreateStream(&stream);
  if (SUCCEEDED(hr)) {
    hr = stream->InitializeFromMemory(const_cast<BYTE*>(job.bytes.data()),
                                      static_cast<DWORD>(job.bytes.size()));
  }
  if (SUCCEEDED(hr)) {
    hr = factory->CreateDecoderFromStream(stream, nullptr, WICDecodeMetadataCacheOnDemand, &decoder);
  }
  if (SUCCEEDED(hr)) hr = ChooseFrame(decoder, job.kind, &frame);
  UINT width = 0;
  UINT height = 0;
  if (SUCCEEDED(hr)) hr = frame->GetSize(&width, &height);
  if (SUCCEEDED(hr) && (width == 0 || height == 0)) hr = WINCODEC_ERR_BADIMAGE;
  WICPixelFormatGUID format = {};
  if (SUCCEEDED(hr)) hr = frame->GetPixelFormat(&format);
  if (SUCCEEDED(hr)) hr = factory->CreateFormatConverter(&converter);
  if (SUCCEEDED(hr)) {
    hr = converter->Initialize(frame, GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                               WICBitmapPaletteTypeCustom);
  }
  if (SUCCEEDED(hr)) {
    out->width = width;
    out->height = height;
    out->bitsPerPixel = BitsPerPixelOf(factory, format);
    hr = ConvertPixels(job, converter, out);
  }
  Release(converter);
  Release(frame);
  Release(decoder);
  Release(stream);
  return hr;
}

DWORD WINAPI DecodeThread(void* parameter) {
  std::unique_ptr<DecodeJob> job(static_cast<DecodeJob*>(parameter));
  std::unique_ptr<DecodedPicture> result = std::move(job->result);
  result->generation = job->generation;
  const HRESULT init = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  IWICImagingFactory* factory = nullptr;
  HRESULT hr = ::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IWICImagingFactory, reinterpret_cast<void**>(&factory));
  if (SUCCEEDED(hr)) hr = Decode(factory, *job, result.get());
  Release(factory);
  if (SUCCEEDED(init)) ::CoUninitialize();
  if (FAILED(hr)) result->pixels = {};
  result->result = hr;
  // The copy of the compressed bytes goes before the result is handed over,
  // so that no more than the decoded bitmap outlives the decode.
  job->bytes = {};
  if (job->Stale()) return 0;
  if (job->mailbox->Leave(std::move(result))) ::PostMessageA(job->view, PVM_DECODED, 0, 0);
  return 0;
}

}  // namespace

bool DecodeMailbox::Leave(std::unique_ptr<DecodedPicture> result) {
  std::unique_ptr<DecodedPicture> older;
  const std::lock_guard<std::mutex> hold(lock_);
  if (closed_) return false;  // result goes as this returns
  older = std::move(waiting_);
  waiting_ = std::move(result);
  return true;
}

std::unique_ptr<DecodedPicture> DecodeMailbox::Take() {
  const std::lock_guard<std::mutex> hold(lock_);
  return std::move(waiting_);
}

void DecodeMailbox::Close() {
  std::unique_ptr<DecodedPicture> left;
  const std::lock_guard<std::mutex> hold(lock_);
  closed_ = true;
  left = std::move(waiting_);
}

bool StartDecode(HWND view, std::uint32_t generation,
                 const std::shared_ptr<std::atomic<std::uint32_t>>& latest,
                 const std::shared_ptr<DecodeMailbox>& mailbox, PictureKind kind, const std::uint8_t* bytes,
                 std::uint32_t length, HRESULT* failure) {
  std::unique_ptr<DecodeJob> job;
  try {
    job = std::make_unique<DecodeJob>();
    job->bytes.assign(bytes, bytes + length);
    job->result = std::make_unique<DecodedPicture>();
  } catch (const std::bad_alloc&) {
    *failure = E_OUTOFMEMORY;
    return false;
  }
  job->view = view;
  job->generation = generation;
  job->latest = latest;
  job->mailbox = mailbox;
  job->kind = kind;
  HANDLE thread = ::CreateThread(nullptr, 0, DecodeThread, job.get(), 0, nullptr);
  if (thread == nullptr) {
    *failure = HRESULT_FROM_WIN32(::GetLastError());
    return false;
  }
  job.release();
  ::CloseHandle(thread);
  return true;
}
