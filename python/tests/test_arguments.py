import numpy
import pytest

import tamsel

# Each call with every argument in turn replaced by the bad value.
CALLS = [
    (tamsel.has_primitive_root, (7,)),
    (tamsel.least_primitive_root, (7,)),
    (tamsel.count_primitive_roots, (7,)),
    (tamsel.is_primitive_root, (3, 7)),
    (tamsel.multiplicative_order, (3, 7)),
    (tamsel.totient, (7,)),
    (tamsel.carmichael_lambda, (7,)),
    (tamsel.primitive_roots, (7, 0, 7)),
    (tamsel.primitive_roots_array, (7, 0, 7)),
    (tamsel.Modulus, (7,)),
    (tamsel.Modulus(7).is_primitive_root, (3,)),
    (tamsel.Modulus(7).multiplicative_order, (3,)),
]


def each_argument(value):
    for call, arguments in CALLS:
        for i in range(len(arguments)):
            yield call, arguments[:i] + (value,) + arguments[i + 1:]


@pytest.mark.parametrize("value", [1.0, "7", None, b"7", [7], 7 + 0j])
def test_not_an_integer_is_a_type_error(value):
    for call, arguments in each_argument(value):
        if value is None and call in (tamsel.primitive_roots, tamsel.primitive_roots_array) \
                and len(arguments) == 3 and arguments[2] is None:
            continue  # stop=None means n
        with pytest.raises(TypeError):
            call(*arguments)


@pytest.mark.parametrize("value", [-1, -2**70, 2**64, 2**64 + 7, numpy.int64(-5)])
def test_out_of_range_is_a_value_error_naming_the_range(value):
    for call, arguments in each_argument(value):
        with pytest.raises(ValueError, match=r"0 to 2\*\*64 - 1"):
            call(*arguments)


def test_anything_with_index_is_an_integer():
    class Seven:
        def __index__(self):
            return 7

    for seven in (Seven(), numpy.uint64(7), numpy.int8(7), numpy.uint32(7)):
        assert tamsel.least_primitive_root(seven) == 3
        assert list(tamsel.primitive_roots(seven, numpy.int16(0), seven)) == [3, 5]
        assert tamsel.Modulus(seven).is_primitive_root(numpy.uint8(5))
    assert tamsel.has_primitive_root(True) is False and tamsel.is_primitive_root(True, 2)


def test_huge_arrays_are_memory_errors():
    with pytest.raises(MemoryError):
        tamsel.primitive_roots_array(2**61 - 1)
