// The own-data table of the 3DS chunk tags: where each chunk's sub-chunks begin.

#include "geometry/Const3DS.h"

OwnDataLayout OwnDataLayoutOf(uint16_t tag) {
  if (tag >= 0xB000 && tag <= 0xB007) return {OwnData::kNone, 0};
  switch (tag) {
    case 0x1200: case 0x2100: case 0x2D2D: case 0x2D3D: case 0x3000: case 0x3D3D:
    case 0x3DAA: case 0x3DFF: case 0x4100: case 0x4D4D: case 0x8000: case 0x8001:
    case 0xA010: case 0xA020: case 0xA030: case 0xA040: case 0xA041: case 0xA042:
    case 0xA050: case 0xA052: case 0xA053: case 0xA084: case 0xA200: case 0xA204:
    case 0xA210: case 0xA220: case 0xA230: case 0xA33A: case 0xA33C: case 0xA33D:
    case 0xA33E: case 0xA340: case 0xA342: case 0xA344: case 0xA346: case 0xA348:
    case 0xA34A: case 0xA34C: case 0xAFFF: case 0xC23D:
      return {OwnData::kNone, 0};
    case 0x1100: case 0x3080: case 0x4000: case 0x4181: case 0xA000: case 0xA300: case 0xB011:
      return {OwnData::kString, 0};
    case 0x0030: case 0x1420: case 0x1430: case 0xB030:
      return {OwnData::kFixed, 2};
    case 0x0011:
      return {OwnData::kFixed, 3};
    case 0x0002: case 0x0031: case 0x0100: case 0x1300: case 0x1400: case 0x1410:
    case 0x3D3E: case 0xB009: case 0xB015: case 0xD000:
      return {OwnData::kFixed, 4};
    case 0xB008:
      return {OwnData::kFixed, 8};
    case 0x4641:
      return {OwnData::kFixed, 10};
    case 0x0010: case 0x1500: case 0x4600: case 0xA310: case 0xB013:
      return {OwnData::kFixed, 12};
    case 0x7001:
      return {OwnData::kFixed, 14};
    case 0x2200: case 0x2300: case 0x2302: case 0x3010: case 0x3020: case 0x3030:
    case 0x3040: case 0x3050: case 0x3060:
      return {OwnData::kFixed, 16};
    case 0x4610:
      return {OwnData::kFixed, 20};
    case 0xB014:
      return {OwnData::kFixed, 24};
    case 0x3070:
      return {OwnData::kFixed, 28};
    case 0x4700:
      return {OwnData::kFixed, 32};
    case 0x4160:
      return {OwnData::kFixed, 48};
    case 0x4120:
      return {OwnData::kFaceList, 0};
    case 0xB010:
      return {OwnData::kStringThen6, 0};
    case 0xB00A:
      return {OwnData::kU16StringU32, 0};
    default:
      return {OwnData::kWhole, 0};
  }
}
