#!/usr/bin/env bash
# The plug-in must load into the real host application, which offers only its platform interfaces, not
# everything our stand-in defines. Lists the symbols the built plug-in takes from the stand-in's library
# (undefined in the plug-in, defined there) and fails on any that is not one of those interfaces.
# Usage: check_host_symbols.sh PLUGIN HOST_LIBRARY
set -euo pipefail

plugin="$1"
host="$2"

# What the host offers, as extended regular expressions over demangled names, each matching a name
# from its start, after an optional "typeinfo for " or "vtable for " or a return type. Builds without
# full optimisation (the sanitized ones) also take the virtual tables and type information of the
# host's base classes that inline constructors and the sanitizers' type checks name.
offered=(
    # Core library: plug-in base and auto-registration, parameters and their record, signals, logging,
    # string utilities, the worker pool.
    'Korvanta::(PluginBase|KorvantaLibPlugin|PluginAutoRegistrationGuard)\b'
    'Korvanta::(ParameterBase|Configurable|Properties)\b'
    'Korvanta::SignalImpl<'
    'Korvanta::(Log|String)::'
    'Korvanta::Threading::ThreadPool::'
    # Imaging library: the algorithm framework, data lists, progress, the image types, selections,
    # pixel-type functions and the per-image dispatcher.
    'Korvanta::(Algorithm|IoAlgorithm|AlgorithmFactory|AlgorithmControllerFactory|DefaultAlgorithmController)\b'
    'Korvanta::DataAnnotationFactory\b'
    'Korvanta::(DataList|OwningDataList|Progress)\b'
    'Korvanta::(SharedImageSet|SharedImage|MemImage|Selection)\b'
    'Korvanta::TypedImage<[a-z ]+>'
    'Korvanta::Utils::'
    'Korvanta::ImageMath::internal::dispatchThread\('
    # Its GPU half of the expressions: the node interface, the leaves' GL operations (those of the
    # host's leaf mix-in, whose code the plug-in instantiates), the host's two-operand and swizzle GL
    # sides with the base they share, the naming walk with its tag map, and the descriptor combination.
    'Korvanta::ImageMath::internal::GlExprInterface\b'
    'Korvanta::ImageMath::internal::(leafEvalString|tagLeaf|appendLeafUniform|setLeafArguments|assignGl)\('
    'Korvanta::ImageMath::internal::(BinaryOpGl|ChannelSwizzleViewGl|CompositeGl)\b'
    'Korvanta::ImageMath::internal::tagAndAssignNamesHelper\('
    'std::hash<Korvanta::ImageMath::internal::TaggingIndex>::operator\(\)'
    'Korvanta::combineImageDescriptors\('
    # GL library.
    'Korvanta::GL::Program::setArgument<float>\('
    # Test instrumentation, not an interface: the stand-in's call trace, reached from its own inline
    # image accessors.
    'Korvanta::HostCallTrace::detail::'
)

taken="$(comm -12 <(nm -D --undefined-only "$plugin" | awk '{print $NF}' | sort -u) \
                  <(nm -D --defined-only "$host" | awk '{print $NF}' | sort -u) | c++filt)"
if [[ -z "$taken" ]]; then
    echo "found no symbol that $plugin takes from $host: is it linked against it?" >&2
    exit 1
fi
pattern="^((typeinfo|vtable) for |[^ (]+ )?($(IFS='|'; echo "${offered[*]}"))"
unoffered="$(grep -Ev "$pattern" <<<"$taken" || true)"
echo "$(wc -l <<<"$taken") symbols taken from the host"
if [[ -n "$unoffered" ]]; then
    echo "the plug-in takes what the host does not offer:" >&2
    echo "$unoffered" >&2
    exit 1
fi
