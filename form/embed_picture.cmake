# Turns one of scripts/make_pictures.py's plain pixel files into a C++ source that defines the
# picture's accessor of form/pictures.h, so the program carries its pictures as ready pixels.
#
#   cmake -DINPUT=logo.pixels -DOUTPUT=logo_pixels.cpp -DFUNCTION=Logo -P embed_picture.cmake
#
# The file: "KPX1"; width, height and palette size as 16-bit little-endian numbers; the palette
# as 32-bit little-endian 0xAARRGGBB; then one palette index per pixel, top row first.
foreach(variable INPUT OUTPUT FUNCTION)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "embed_picture.cmake: ${variable} is not set")
    endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)

# The 16-bit little-endian number at byte offset `offset`.
function(read_u16 offset out)
    math(EXPR at "${offset} * 2")
    string(SUBSTRING "${hex}" ${at} 2 low)
    math(EXPR at "${at} + 2")
    string(SUBSTRING "${hex}" ${at} 2 high)
    math(EXPR value "0x${high}${low}")
    set(${out} ${value} PARENT_SCOPE)
endfunction()

string(SUBSTRING "${hex}" 0 8 magic)
if(NOT magic STREQUAL "4b505831") # "KPX1"
    message(FATAL_ERROR "${INPUT} is not a pixel file of scripts/make_pictures.py")
endif()
read_u16(4 width)
read_u16(6 height)
read_u16(8 paletteSize)
math(EXPR pixelsAt "10 + 4 * ${paletteSize}")
math(EXPR expected "2 * (${pixelsAt} + ${width} * ${height})")
if(width EQUAL 0 OR height EQUAL 0 OR paletteSize EQUAL 0 OR paletteSize GREATER 256 OR
   NOT hexLength EQUAL expected)
    message(FATAL_ERROR "${INPUT}: a ${width} x ${height} picture of ${paletteSize} colours "
                        "does not fit the file's ${hexLength} hex digits")
endif()

math(EXPR paletteHexLength "8 * ${paletteSize}")
string(SUBSTRING "${hex}" 20 ${paletteHexLength} palette)
string(REGEX REPLACE "(..)(..)(..)(..)" "0x\\4\\3\\2\\1u," palette "${palette}")
string(REPEAT "0x........u," 8 line) # CMake's expressions have no {n}
string(REGEX REPLACE "(${line})" "\\1\n" palette "${palette}")

math(EXPR pixelsHexAt "2 * ${pixelsAt}")
string(SUBSTRING "${hex}" ${pixelsHexAt} -1 pixels)
# Highest index first, so that every pixel names a colour of the palette.
string(REGEX MATCHALL ".." indices "${pixels}")
list(REMOVE_DUPLICATES indices)
list(SORT indices)
list(GET indices -1 highest)
math(EXPR highest "0x${highest}")
if(highest GREATER_EQUAL paletteSize)
    message(FATAL_ERROR "${INPUT}: pixel index ${highest} outside the ${paletteSize} colours")
endif()
string(REGEX REPLACE "(..)" "0x\\1," pixels "${pixels}")
string(REPEAT "0x..," 32 line)
string(REGEX REPLACE "(${line})" "\\1\n" pixels "${pixels}")

file(CONFIGURE OUTPUT "${OUTPUT}" @ONLY CONTENT [=[
// Made by form/embed_picture.cmake from @INPUT@; edit scripts/make_pictures.py instead.
#include "form/pictures.h"

namespace kalvor::form {
namespace {

constexpr std::uint32_t kPalette[] = {
@palette@};

constexpr std::uint8_t kPixels[] = {
@pixels@};

} // namespace

const Picture &@FUNCTION@() {
    static constexpr Picture picture{@width@, @height@, kPalette, @paletteSize@, kPixels};
    return picture;
}

} // namespace kalvor::form
]=])
